#include "app/PreShowCheck.h"

#include "app/DrawScreenPainter.h"
#include "app/DrawSession.h"
#include "app/PrizeRanges.h"
#include "app/ResultScreenParts.h"
#include "data/DuplicateNames.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>
#include <map>

namespace {

QString ok(const QString& detail = QString())
{
    return detail.isEmpty() ? QStringLiteral("正常") : QStringLiteral("正常 (%1)").arg(detail);
}

// The list: its size, names on several lines, and lines that differ only by spaces.
PreShowCheck::Line participants(const DrawSession& session)
{
    const std::vector<tstring> lines = session.engine().everyLine();
    QStringList names;
    std::map<QString, std::vector<QString>> bySpaceless;
    for (const tstring& line : lines) {
        const QString name = QString::fromStdWString(line);
        names << name;
        QString bare = name;
        bare.remove(QRegularExpression(QStringLiteral("\\s")));
        std::vector<QString>& same = bySpaceless[bare];
        if (std::find(same.begin(), same.end(), name) == same.end())
            same.push_back(name);
    }
    QStringList problems;
    const DuplicateNames duplicates(names);
    if (!duplicates.isEmpty())
        problems << duplicates.summary();
    QStringList spaced;
    for (const auto& [bare, variants] : bySpaceless) {
        if (variants.size() > 1)
            spaced << QStringLiteral("\"%1\" 与 \"%2\"").arg(variants[0], variants[1]);
    }
    if (!spaced.isEmpty())
        problems << QStringLiteral("只差空格的行: ") + spaced.mid(0, 5).join(QStringLiteral(", "));
    const QString count = QStringLiteral("%1 人").arg(lines.size());
    if (lines.empty())
        return {QStringLiteral("名单"), false, QStringLiteral("没有人")};
    return {QStringLiteral("名单"), problems.isEmpty(),
            problems.isEmpty() ? ok(count)
                               : count + QStringLiteral(", ") + problems.join(QStringLiteral("; "))};
}

QStringList missing(const DrawSession& session, const std::vector<std::wstring>& files)
{
    QStringList absent;
    for (const std::wstring& file : files) {
        if (!QFileInfo(session.folder().file(file)).isFile())
            absent << QString::fromStdWString(file);
    }
    absent.removeDuplicates();
    return absent;
}

} // namespace

std::vector<PreShowCheck::Line> PreShowCheck::run(const DrawSession& session, const Views& views)
{
    std::vector<Line> lines{participants(session)};
    const DrawEngine& engine = session.engine();
    const PrizeRanges ranges(session.folder());
    for (int prize = 0; prize < engine.prizeCount(); ++prize) {
        const AwardItem& award = engine.award(prize);
        if (DrawScope::isEveryone(award.range))
            continue;
        const QString subject = QStringLiteral("%1 抽奖范围").arg(QString::fromStdWString(award.awardName));
        DrawScope scope;
        scope.setCheckedIn(session.checkinDesk().book().snapshot());
        if (const auto problem = ranges.prepare(award, engine.pool(), scope)) {
            lines.push_back({subject, false, QString::fromStdWString(*problem)});
            continue;
        }
        QString detail =
            QStringLiteral("现在可抽 %1 人").arg(DrawEngine::admittedBy(engine.pool(), scope).size());
        const QString exclusions = PrizeRanges::exclusionReport(award, scope, engine.pool());
        if (!exclusions.isEmpty())
            detail += QStringLiteral("; ") + exclusions;
        lines.push_back({subject, true, ok(detail)});
    }
    std::vector<std::wstring> pictures{DrawScreenPainter::ShowPicture, DrawScreenPainter::StartPicture,
                                       DrawScreenPainter::StopPicture, ResultScreenParts::ResultPicture,
                                       ResultScreenParts::ExitPicture};
    QStringList prizePictures;
    for (const AwardItem& award : engine.awards()) {
        if (!award.picturePath.empty() && session.folder().picture(award.picturePath).isEmpty())
            prizePictures << QString::fromStdWString(award.picturePath);
    }
    QStringList absentPictures = missing(session, pictures) + prizePictures;
    absentPictures.removeDuplicates();
    lines.push_back({QStringLiteral("图片"), absentPictures.isEmpty(),
                     absentPictures.isEmpty()
                         ? ok()
                         : QStringLiteral("缺少 ") + absentPictures.join(QStringLiteral(", "))});
    const QStringList absentSounds =
        missing(session, {DrawSession::StartMusic, DrawSession::StopSound, ResultScreenParts::ResultMusic});
    lines.push_back(
        {QStringLiteral("声音文件"), absentSounds.isEmpty(),
         absentSounds.isEmpty() ? ok() : QStringLiteral("缺少 ") + absentSounds.join(QStringLiteral(", "))});
    lines.push_back({QStringLiteral("声音输出"), views.soundAvailable,
                     views.soundAvailable ? ok() : QStringLiteral("没有可用的声音输出")});
    const QStorageInfo storage(session.folder().path());
    const qint64 free = storage.bytesAvailable();
    const QString space = QStringLiteral("剩余 %1 MB").arg(free >> 20);
    lines.push_back({QStringLiteral("磁盘空间"), free >= LeastFreeBytes,
                     free >= LeastFreeBytes ? ok(space) : space + QStringLiteral(", 太少")});
    if (!views.phoneProblem.isEmpty())
        lines.push_back({QStringLiteral("手机页面"), false, views.phoneProblem});
    else
        lines.push_back(
            {QStringLiteral("手机页面"), true,
             views.phoneUrl.isEmpty()
                 ? QStringLiteral("未开启")
                 : ok(QStringLiteral("%1, 已连接 %2 部手机").arg(views.phoneUrl).arg(views.phones))});
    lines.push_back({QStringLiteral("观众屏幕"), !views.screen.isEmpty(),
                     views.screen.isEmpty() ? QStringLiteral("没有") : ok(views.screen)});
    return lines;
}

QString PreShowCheck::text(const std::vector<Line>& lines)
{
    QStringList shown;
    for (const Line& line : lines)
        shown << QStringLiteral("%1%2: %3")
                     .arg(line.ok ? QString() : QStringLiteral("✗ "), line.subject, line.text);
    return shown.join(QLatin1Char('\n'));
}
