#pragma once

#include "app/Commitment.h"
#include "app/DrawEngine.h"
#include "app/DrawScope.h"
#include "data/DrawJournal.h"
#include "platform/EventFolder.h"

#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <string>

// The witnessed draw of an event that asks for it ([Draw] Rule=rafo-2):
// the commitment each start makes before it is shown, the digits the hall
// rolls while the names cycle, and the secret a stop reveals. It decides
// nothing of the draw; the session asks it for the seed at the stop.
class WitnessDesk
{
public:
    static constexpr const wchar_t* TooFewDigits[2] = {L"见证数字不足 ", L" 位"};
    static constexpr const wchar_t* UnknownRule = L"[Draw] Rule 不是 rafo-1 或 rafo-2, 按 rafo-1 抽取: ";

    // What a start commits to: made off the GUI thread, shown once journalled.
    struct Commit
    {
        int prize = -1;
        // Applied once, at the start: the stop and the replacements pick
        // among what it admitted then.
        std::shared_ptr<DrawScope> scope;
        long long admitted = 0;
        Commitment::Digest secret{};
        Commitment::Digest admittedSha256{};
        Commitment::Digest commitment{};
        // The prize takes everyone it admits: there is nothing to witness.
        bool takesAll = false;
    };

    explicit WitnessDesk(EventFolder folder);

    // Reads [Draw] Rule and WitnessDigits; the problem, when the rule is unknown.
    std::optional<std::wstring> readSettings();
    // At the start of the show: the settings, the commitments the journal
    // holds, and where the words of the prizes it drew witnessed stand.
    std::optional<std::wstring> open(const DrawJournal& journal, DrawEngine& engine);
    // Off the GUI thread: what the commitment admits of the pool, its
    // secret and digest, its list kept and its line journalled (true when on disk).
    static bool make(Commit& commit, const NamePool& pool, long long count, DrawJournal& journal);
    // The candidates of a witnessed prize's replacement: the names its
    // commitment admitted still in the pool. The problem when its kept list cannot be read.
    static QString candidates(const EventFolder& folder, const DrawEngine& engine,
                              const WitnessStream& stream, std::vector<std::size_t>& candidates);
    bool enabled() const { return m_enabled; }
    int minDigits() const { return m_minDigits; }
    // The commitments the journal holds for each prize, at the start.
    void setAttempts(std::map<int, int> attempts) { m_attempts = std::move(attempts); }

    // A start of that prize under rafo-2: its commitment is being made.
    void committing(int prize);
    // It is journalled: the screen may show it and digits count from now.
    void committed(Commit commit);
    // The names stopped, the prize went or the draw started afresh: what
    // was committed and typed goes, and a revealed secret too.
    void clear();

    // Whether a stop must wait: a commitment is being made or too few digits were typed.
    bool committingNow() const { return m_committing; }
    const std::optional<Commit>& commit() const { return m_commit; }
    // A stop with too few digits is refused: it says so until the next digit.
    bool refuse();
    bool refused() const { return m_refused; }
    std::wstring refusal() const;

    // 0-9 while a commitment is shown; false when the digit does not count.
    bool type(QChar digit);
    bool erase();
    const QString& digits() const { return m_digits; }
    // "第 N 次": how many times this prize has been committed to, this one included.
    int attempt() const { return m_attempt; }

    // At the stop of that prize: what the rule fixes of its record (the seed
    // the digits make, the commitment, the secret, the digits); none when
    // it is not witnessed. Once it landed, the secret is shown beside the
    // winners with the commitment and the digits.
    std::optional<DrawRecord> sealed(int prize) const;
    // A stop drawn from it carries them.
    static void seal(DrawRecord& record, const DrawRecord& sealed);
    void reveal() { m_revealed = m_commit.has_value(); }
    bool revealed() const { return m_revealed; }

private:
    const EventFolder m_folder;
    bool m_enabled = false;
    int m_minDigits = Commitment::MinDigits;
    std::map<int, int> m_attempts;
    bool m_committing = false;
    std::optional<Commit> m_commit;
    QString m_digits;
    int m_attempt = 0;
    bool m_refused = false;
    bool m_revealed = false;
};
