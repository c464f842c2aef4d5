#include "app/CaptionText.h"

#include "app/DrawEngine.h"

QString BuildCaptionText(const DrawEngine& engine, const QString& ownText, qsizetype* lastPart)
{
    QString text = CaptionGreeting();
    long long places = 0;
    qsizetype last = 0;
    for (int i = 0; i < engine.prizeCount(); ++i) {
        if (!engine.isFinishedForDisplay(i))
            continue;
        const AwardItem& award = engine.award(i);
        last = text.size();
        text += BuildCaptionPart(award);
        places += award.winnerCount;
    }
    const bool noPlaces = engine.prizeCount() == 0 || places == 0;
    if (lastPart)
        *lastPart = noPlaces ? 0 : last;
    return noPlaces ? ownText : text;
}

QString CaptionGreeting()
{
    return QStringLiteral("恭喜!  ");
}

QString BuildCaptionPart(const AwardItem& award)
{
    QString part = QString::fromStdWString(award.awardName) + QStringLiteral(": ");
    for (const tstring& winner : award.winners)
        part += QString::fromStdWString(winner) + QLatin1Char(' ');
    return part + QStringLiteral("    ");
}

QString BuildCountLine(const DrawEngine& engine)
{
    QString line = QStringLiteral("总共 %1 个奖品, 已经抽取了 %2 名")
                       .arg(engine.totalPlaces())
                       .arg(engine.placesDrawn());
    // A range that held fewer people than the prize's places says so.
    if (engine.isCurrentPrize() && !engine.running()) {
        const AwardItem& award = engine.award(engine.current());
        if (award.admitted >= 0 && award.admitted <= award.winnerCount)
            line += QStringLiteral(", 抽奖范围内只有 %1 人").arg(award.admitted);
    }
    return line;
}
