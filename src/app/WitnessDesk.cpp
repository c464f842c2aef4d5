#include "app/WitnessDesk.h"

#include "areas/TextAreas.h"
#include "data/FolderFile.h"
#include "data/JournalEntry.h"
#include "data/JournalVerifier.h"
#include "platform/IniFile.h"

#include <algorithm>

WitnessDesk::WitnessDesk(EventFolder folder) : m_folder(std::move(folder)) {}

std::optional<std::wstring> WitnessDesk::readSettings()
{
    const QString file = m_folder.file(AwardInfoFile);
    const QString rule =
        QString::fromStdWString(IniFile::readString(file, L"Draw", L"Rule", L"", 64)).trimmed();
    m_enabled = rule.compare(QLatin1String(Commitment::RuleName), Qt::CaseInsensitive) == 0;
    bool ok = false;
    const int digits = QString::fromStdWString(IniFile::readString(file, L"Draw", L"WitnessDigits", L"", 16))
                           .trimmed()
                           .toInt(&ok);
    // Fewer would let a rigged program try every digit string in advance.
    m_minDigits =
        ok ? std::clamp(digits, Commitment::MinDigits, Commitment::MaxDigits) : Commitment::MinDigits;
    if (rule.isEmpty() || m_enabled ||
        rule.compare(QLatin1String(DrawSeed::Rafo1Name), Qt::CaseInsensitive) == 0)
        return std::nullopt;
    return UnknownRule + rule.toStdWString();
}

void WitnessDesk::committing(int prize)
{
    clear();
    m_committing = true;
    m_attempt = ++m_attempts[prize];
}

void WitnessDesk::committed(Commit commit)
{
    m_committing = false;
    if (commit.takesAll) {
        --m_attempts[commit.prize];
        m_attempt = 0;
    } else {
        m_commit = std::move(commit);
    }
}

void WitnessDesk::clear()
{
    m_committing = false;
    m_commit.reset();
    m_digits.clear();
    m_refused = false;
    m_revealed = false;
    m_attempt = 0;
}

bool WitnessDesk::refuse()
{
    if (!m_commit || m_revealed || m_digits.size() >= m_minDigits)
        return false;
    m_refused = true;
    return true;
}

std::wstring WitnessDesk::refusal() const
{
    return TooFewDigits[0] + std::to_wstring(m_minDigits) + TooFewDigits[1];
}

bool WitnessDesk::type(QChar digit)
{
    if (!m_commit || m_revealed || digit < QLatin1Char('0') || digit > QLatin1Char('9') ||
        m_digits.size() >= Commitment::MaxDigits)
        return false;
    m_digits += digit;
    m_refused = false;
    return true;
}

bool WitnessDesk::erase()
{
    if (!m_commit || m_revealed || m_digits.isEmpty())
        return false;
    m_digits.chop(1);
    return true;
}

std::optional<DrawRecord> WitnessDesk::sealed(int prize) const
{
    if (!m_commit || m_commit->prize != prize || m_revealed)
        return std::nullopt;
    DrawRecord record;
    record.witnessed = true;
    record.commitment = m_commit->commitment;
    record.secret = m_commit->secret;
    record.admittedSha256 = m_commit->admittedSha256;
    record.digits = m_digits.toStdString();
    record.witnessDigits = m_minDigits;
    record.seed = Commitment::seed(record.commitment, record.secret, record.digits);
    return record;
}

void WitnessDesk::seal(DrawRecord& record, const DrawRecord& sealed)
{
    record.witnessed = true;
    record.commitment = sealed.commitment;
    record.secret = sealed.secret;
    record.admittedSha256 = sealed.admittedSha256;
    record.digits = sealed.digits;
    record.witnessDigits = sealed.witnessDigits;
}

std::optional<std::wstring> WitnessDesk::open(const DrawJournal& journal, DrawEngine& engine)
{
    m_attempts = journal.commits();
    const auto& streams = journal.history().streams;
    for (int prize = 0; prize <= engine.current() && prize < engine.prizeCount(); ++prize) {
        for (const tstring& winner : engine.award(prize).winners) {
            const auto found = streams.find(winner);
            if (found != streams.end()) {
                engine.attachWitness(prize, found->second);
                break;
            }
        }
    }
    return readSettings();
}

bool WitnessDesk::make(Commit& commit, const NamePool& pool, long long count, DrawJournal& journal)
{
    QString digest;
    if (commit.scope->admitsEveryone()) {
        commit.admitted = static_cast<long long>(pool.size());
        commit.takesAll = commit.admitted <= count;
        if (!commit.takesAll)
            digest = journal.keepList(pool);
    } else {
        std::vector<tstring> names;
        for (std::size_t index : DrawEngine::admittedBy(pool, *commit.scope))
            names.push_back(pool[index]);
        commit.admitted = static_cast<long long>(names.size());
        commit.takesAll = commit.admitted <= count;
        if (!commit.takesAll)
            digest = journal.keepList(names);
    }
    // Everyone it admits wins: there is nothing to witness.
    if (commit.takesAll)
        return true;
    commit.admittedSha256 = Commitment::fromHex(digest).value_or(Commitment::Digest{});
    commit.secret = Commitment::freshSecret();
    commit.commitment = Commitment::of(commit.secret, commit.admittedSha256, commit.prize);
    return journal.append(
        JournalEntry::commit({commit.prize, commit.admitted, digest, Commitment::hex(commit.commitment)}));
}

QString WitnessDesk::candidates(const EventFolder& folder, const DrawEngine& engine,
                                const WitnessStream& stream, std::vector<std::size_t>& candidates)
{
    std::vector<tstring> admitted;
    QString path;
    const QString problem = FolderFile::readKeptList(folder, stream.admittedSha256,
                                                     JournalVerifier::MaxListBytes, admitted, path);
    if (problem.isEmpty())
        candidates = engine.positionsOf(admitted);
    return problem;
}
