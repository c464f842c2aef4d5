#pragma once

#include "app/NamePool.h"
#include "areas/tstring.h"

#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_set>
#include <vector>

// Who a prize may go to, as the operator declared it before the draw: empty
// or "全部" for everyone, else clauses joined by "且": "包含 X" (a word of the
// name is X), "不含 X" (no word is X), "排除 <file>" (no line of that file of
// the event folder matches the name), "已签到" (the name has checked in before
// the draw). A name's words are split at spaces, ideographic spaces and tabs.
class DrawScope
{
public:
    // How a line of an excluded file matches a name: as the whole line, or
    // also, when the line is a single word, as one word of the name, so that
    // a list of names alone excludes those people from a list that also
    // carries 工号 and 部门. Draws recorded before words matched replay by lines.
    enum class ExclusionMatch
    {
        Line,
        Word
    };
    // What an excluded file does to a pool: how many names it takes out,
    // and its lines that match more than one name (two 张伟).
    struct Exclusion
    {
        tstring file;
        std::size_t removed = 0;
        std::vector<std::pair<tstring, std::size_t>> ambiguous;
    };

    struct Clause
    {
        enum Kind
        {
            Contains,
            Lacks,
            Excludes,
            CheckedIn
        };
        Kind kind = Contains;
        // The word, or the file's name.
        tstring text;
        // The word as a pool holds names; none when no name read in place can hold it.
        std::optional<std::u16string> utf16;
    };

    static constexpr const wchar_t* Problem = L"抽奖范围有误: ";

    // Everyone.
    DrawScope() = default;
    // The excluded words point into the lines it holds: it moves, never copies.
    DrawScope(const DrawScope&) = delete;
    DrawScope& operator=(const DrawScope&) = delete;
    DrawScope(DrawScope&&) = default;
    DrawScope& operator=(DrawScope&&) = default;
    // False with the reason when the text does not parse; the scope is then everyone.
    bool parse(const tstring& text, QString* reason = nullptr);
    static bool isEveryone(const tstring& text);

    const tstring& text() const { return m_text; }
    bool admitsEveryone() const { return m_clauses.empty(); }
    const std::vector<Clause>& clauses() const { return m_clauses; }
    // The files its "排除" clauses name, each once.
    std::vector<tstring> files() const;
    // The lines of an excluded file, with the digest of the list as the journal keeps it.
    void setExcluded(const tstring& file, std::vector<tstring> names, const tstring& digest);
    const std::map<tstring, tstring>& exclusionDigests() const { return m_digests; }
    static constexpr const wchar_t* CheckedInTerm = L"已签到";
    bool needsCheckIns() const;
    using CheckedIn = std::shared_ptr<const std::unordered_set<std::wstring>>;
    // The lines checked in when the draw stops; none admits nobody to "已签到".
    void setCheckedIn(CheckedIn lines) { m_checkedIn = std::move(lines); }
    const CheckedIn& checkedIn() const { return m_checkedIn; }
    // Before the draw nobody knows who will have checked in: a check of the
    // table lets "已签到" admit everyone rather than cry wolf.
    void setPresenceUnknown(bool unknown) { m_presenceUnknown = unknown; }
    void setExclusionMatch(ExclusionMatch match) { m_match = match; }
    ExclusionMatch exclusionMatch() const { return m_match; }

    bool admits(const tstring& name) const;
    // The same for a name held as UTF-16, as a pool holds it, read in place;
    // `scratch` takes it widened when a list must be matched.
    bool admits(std::u16string_view name, tstring& scratch) const;
    // For each excluded file, what it does to the pool.
    std::vector<Exclusion> exclusions(const NamePool& pool) const;
    // Whether the word stands in the name between separators.
    static bool hasWord(const tstring& name, const tstring& word);
    static bool isSeparator(wchar_t c) { return c == L' ' || c == L'\t' || c == 0x3000; }
    // The words of a name or a range, as those separators split them.
    static std::vector<tstring> words(const tstring& text);

private:
    // The lines of one file, and those of them that are a single word.
    struct Excluded
    {
        std::vector<tstring> lines;
        std::unordered_set<std::wstring_view> whole;
        std::unordered_set<std::wstring_view> words;
    };
    // The line of the file that matches the name, or nothing.
    std::optional<std::wstring_view> match(const Excluded& excluded, const tstring& name) const;

    tstring m_text;
    std::vector<Clause> m_clauses;
    std::map<tstring, Excluded> m_excluded;
    std::map<tstring, tstring> m_digests;
    ExclusionMatch m_match = ExclusionMatch::Line;
    CheckedIn m_checkedIn;
    bool m_presenceUnknown = false;
};
