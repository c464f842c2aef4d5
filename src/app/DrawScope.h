#pragma once

#include "areas/tstring.h"

#include <QString>
#include <map>
#include <unordered_set>
#include <vector>

// Who a prize may go to, as the operator declared it before the draw: empty
// or "全部" for everyone, else clauses joined by "且": "包含 X" (a word of the
// name is X), "不含 X" (no word is X), "排除 <file>" (the name is not a line
// of that file of the event folder). A name's words are split at spaces,
// ideographic spaces and tabs.
class DrawScope
{
public:
    struct Clause
    {
        enum Kind
        {
            Contains,
            Lacks,
            Excludes
        };
        Kind kind = Contains;
        // The word, or the file's name.
        tstring text;
    };

    static constexpr const wchar_t* Problem = L"抽奖范围有误: ";

    // Everyone.
    DrawScope() = default;
    // False with the reason when the text does not parse; the scope is then everyone.
    bool parse(const tstring& text, QString* reason = nullptr);
    static bool isEveryone(const tstring& text);

    const tstring& text() const { return m_text; }
    bool admitsEveryone() const { return m_clauses.empty(); }
    const std::vector<Clause>& clauses() const { return m_clauses; }
    // The files its "排除" clauses name, each once.
    std::vector<tstring> files() const;
    // The lines of an excluded file, with the digest of the list as the journal keeps it.
    void setExcluded(const tstring& file, const std::vector<tstring>& names, const tstring& digest);
    const std::map<tstring, tstring>& exclusionDigests() const { return m_digests; }

    bool admits(const tstring& name) const;
    // Whether the word stands in the name between separators.
    static bool hasWord(const tstring& name, const tstring& word);
    static bool isSeparator(wchar_t c) { return c == L' ' || c == L'\t' || c == 0x3000; }
    // The words of a name or a range, as those separators split them.
    static std::vector<tstring> words(const tstring& text);

private:
    tstring m_text;
    std::vector<Clause> m_clauses;
    std::map<tstring, std::unordered_set<std::wstring>> m_excluded;
    std::map<tstring, tstring> m_digests;
};
