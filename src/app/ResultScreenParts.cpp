#include "app/ResultScreenParts.h"

#include "areas/AreaEditor.h"
#include "data/ResultExport.h"
#include "platform/EventFolder.h"

std::shared_ptr<ResultScreenParts> ResultScreenParts::make(const EventFolder& folder, const Inputs& inputs,
                                                           const std::vector<AwardItem>& awards)
{
    auto parts = std::make_shared<ResultScreenParts>();
    BuildResultText(inputs.mainTitle, inputs.subTitle, awards, parts->summary, parts->lines);
    parts->shown = QString::fromStdWString(parts->summary);
    parts->shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    parts->result.load(folder.file(QString::fromWCharArray(ResultPicture)));
    parts->exit.load(folder.file(QString::fromWCharArray(ExitPicture)));
    const QSize screen(inputs.screen.width(), inputs.screen.height());
    parts->result.scaleFor(inputs.screen, screen);
    parts->exit.scaleFor(inputs.exit, screen);
    return parts;
}

ResultScreenParts::Inputs ResultScreenParts::inputsOf(const AreaEditor& areas, int screenWidth,
                                                      int screenHeight, const Rect& exit)
{
    Inputs inputs;
    inputs.mainTitle = areas.area(AreaMainTitle).m_titleName;
    inputs.subTitle = areas.area(AreaSubTitle).m_titleName;
    inputs.screen = Rect(0, 0, screenWidth, screenHeight);
    inputs.exit = exit;
    return inputs;
}
