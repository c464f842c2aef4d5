#include "app/CaptionText.h"

#include "app/DrawEngine.h"

QString BuildCaptionText(const DrawEngine& engine, const QString& ownText)
{
    QString text = QStringLiteral("恭喜!  ");
    long long places = 0;
    for (int i = 0; i < engine.prizeCount(); ++i) {
        if (!engine.isFinishedForDisplay(i))
            continue;
        const AwardItem& award = engine.award(i);
        text += QString::fromStdWString(award.awardName) + QStringLiteral(": ");
        for (const tstring& winner : award.winners)
            text += QString::fromStdWString(winner) + QLatin1Char(' ');
        text += QStringLiteral("    ");
        places += award.winnerCount;
    }
    return engine.prizeCount() == 0 || places == 0 ? ownText : text;
}

QString BuildCountLine(const DrawEngine& engine)
{
    return QStringLiteral("总共 %1 个奖品, 已经抽取了 %2 名")
        .arg(engine.totalPlaces())
        .arg(engine.placesDrawn());
}
