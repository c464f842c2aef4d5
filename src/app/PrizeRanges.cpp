#include "app/PrizeRanges.h"

#include "app/DrawEngine.h"
#include "data/ParticipantFile.h"
#include "platform/LineReader.h"

#include <QStringList>

namespace {

// The prize running, or else the one the next start draws.
int prizeInView(const DrawEngine& engine)
{
    return engine.running() ? engine.current() : engine.current() + 1;
}

} // namespace

std::optional<std::wstring> PrizeRanges::prepare(const AwardItem& award, const NamePool& pool,
                                                 DrawScope& scope, const KeepList& keep) const
{
    QString reason;
    if (!scope.parse(award.range, &reason))
        return DrawScope::Problem + award.awardName + L": " + reason.toStdWString();
    // A list of names alone, without the 工号 and 部门 of data.txt, still excludes them.
    scope.setExclusionMatch(DrawScope::ExclusionMatch::Word);
    for (const tstring& file : scope.files()) {
        QByteArray bytes;
        if (LineReader::readAll(m_folder.file(file), MaxExclusionBytes, bytes) != LineReader::Opened::Ok)
            return ExclusionUnreadable + file + L" (" + award.awardName + L")";
        ParticipantList list = ParseParticipants(bytes.toStdString());
        std::vector<tstring> names = list.names.names();
        const QString digest = keep ? keep(names) : QString();
        scope.setExcluded(file, std::move(names), digest.toStdWString());
    }
    if (!scope.admitsEveryone() && !DrawEngine::anyAdmitted(pool, scope))
        return award.awardName + L": 抽奖范围 \"" + scope.text() + L"\"" + NobodyInRange;
    return std::nullopt;
}

std::wstring PrizeRanges::check(const DrawEngine& engine)
{
    std::set<std::wstring> found;
    std::wstring untold;
    for (int prize = std::max(prizeInView(engine), 0); prize < engine.prizeCount(); ++prize) {
        DrawScope scope;
        scope.setPresenceUnknown(true);
        const std::optional<std::wstring> problem = prepare(engine.award(prize), engine.pool(), scope);
        if (!problem)
            continue;
        if (!m_found.count(*problem))
            untold += (untold.empty() ? L"" : L"\n") + *problem;
        found.insert(*problem);
    }
    m_found = std::move(found);
    return untold;
}

QString PrizeRanges::exclusionReport(const DrawEngine& engine) const
{
    const int prize = prizeInView(engine);
    DrawScope scope;
    if (prize < 0 || prize >= engine.prizeCount() || prepare(engine.award(prize), engine.pool(), scope))
        return QString();
    return exclusionReport(engine.award(prize), scope, engine.pool());
}

QString PrizeRanges::exclusionReport(const AwardItem& award, const DrawScope& scope, const NamePool& pool)
{
    if (scope.files().empty())
        return QString();
    QStringList parts;
    for (const DrawScope::Exclusion& exclusion : scope.exclusions(pool)) {
        QString part = QStringLiteral("%1 去掉 %2 人")
                           .arg(QString::fromStdWString(exclusion.file))
                           .arg(exclusion.removed);
        for (const auto& [line, count] : exclusion.ambiguous)
            part += QStringLiteral(", \"%1\" 对应 %2 人").arg(QString::fromStdWString(line)).arg(count);
        parts << part;
    }
    return QString::fromStdWString(award.awardName) + QStringLiteral(": ") + parts.join(QStringLiteral("; "));
}
