#include "app/DrawScope.h"

#include <algorithm>
#include <utility>

std::vector<tstring> DrawScope::words(const tstring& text)
{
    std::vector<tstring> out;
    tstring word;
    for (wchar_t c : text) {
        if (DrawScope::isSeparator(c)) {
            if (!word.empty())
                out.push_back(std::exchange(word, tstring()));
        } else {
            word.push_back(c);
        }
    }
    if (!word.empty())
        out.push_back(word);
    return out;
}

namespace {

bool fail(QString* reason, const QString& why)
{
    if (reason)
        *reason = why;
    return false;
}

} // namespace

bool DrawScope::isEveryone(const tstring& text)
{
    const std::vector<tstring> all = words(text);
    return all.empty() || (all.size() == 1 && all[0] == L"全部");
}

bool DrawScope::parse(const tstring& text, QString* reason)
{
    m_text.clear();
    m_clauses.clear();
    m_excluded.clear();
    m_digests.clear();
    if (isEveryone(text))
        return true;
    const std::vector<tstring> tokens = words(text);
    std::vector<Clause> clauses;
    for (size_t i = 0; i < tokens.size();) {
        const tstring& head = tokens[i];
        Clause clause;
        // A clause of one word: nothing follows it but the next "且".
        if (head == CheckedInTerm) {
            if (i + 1 < tokens.size() && tokens[i + 1] != L"且")
                return fail(reason, QStringLiteral("\"已签到\" 后面不能有词 (词之间用 且 连接条件)"));
            clause.kind = Clause::CheckedIn;
            clause.text = head;
            clauses.push_back(std::move(clause));
            if (i + 2 == tokens.size())
                return fail(reason, QStringLiteral("\"且\" 后面缺少条件"));
            i += 2;
            continue;
        }
        if (head == L"包含")
            clause.kind = Clause::Contains;
        else if (head == L"不含")
            clause.kind = Clause::Lacks;
        else if (head == L"排除")
            clause.kind = Clause::Excludes;
        else
            return fail(reason, QStringLiteral("\"%1\" 不是条件: 条件以 包含, 不含, 排除 或 已签到 开头")
                                    .arg(QString::fromStdWString(head)));
        size_t end = i + 1;
        while (end < tokens.size() && tokens[end] != L"且")
            ++end;
        if (end == i + 1)
            return fail(reason, QStringLiteral("\"%1\" 后面缺少内容").arg(QString::fromStdWString(head)));
        if (clause.kind != Clause::Excludes && end > i + 2)
            return fail(reason, QStringLiteral("\"%1\" 后面只能有一个词 (词之间用 且 连接条件)")
                                    .arg(QString::fromStdWString(head)));
        for (size_t k = i + 1; k < end; ++k)
            clause.text += (k > i + 1 ? L" " : L"") + tokens[k];
        if (clause.kind == Clause::Excludes && (clause.text.find_first_of(L"/\\") != tstring::npos ||
                                                clause.text == L"." || clause.text == L".."))
            return fail(reason, QStringLiteral("排除的文件 \"%1\" 必须在活动文件夹中")
                                    .arg(QString::fromStdWString(clause.text)));
        clause.utf16 = NamePool::narrow(clause.text);
        clauses.push_back(std::move(clause));
        if (end + 1 == tokens.size())
            return fail(reason, QStringLiteral("\"且\" 后面缺少条件"));
        i = end + 1;
    }
    m_text = text;
    m_text.Trim();
    m_clauses = std::move(clauses);
    return true;
}

bool DrawScope::needsCheckIns() const
{
    return std::any_of(m_clauses.begin(), m_clauses.end(),
                       [](const Clause& clause) { return clause.kind == Clause::CheckedIn; });
}

std::vector<tstring> DrawScope::files() const
{
    std::vector<tstring> out;
    for (const Clause& clause : m_clauses) {
        if (clause.kind == Clause::Excludes && std::find(out.begin(), out.end(), clause.text) == out.end())
            out.push_back(clause.text);
    }
    return out;
}

void DrawScope::setExcluded(const tstring& file, std::vector<tstring> names, const tstring& digest)
{
    Excluded& excluded = m_excluded[file];
    excluded = Excluded();
    // The views point into the lines, which stay where they are from here on.
    excluded.lines = std::move(names);
    excluded.whole.reserve(excluded.lines.size());
    for (const tstring& line : excluded.lines) {
        excluded.whole.insert(line);
        const std::vector<tstring> inLine = words(line);
        if (inLine.size() == 1) {
            const size_t at = line.find(inLine.front());
            excluded.words.insert(std::wstring_view(line).substr(at, inLine.front().size()));
        }
    }
    m_digests[file] = digest;
}

namespace {

template <typename Char> bool hasWordIn(std::basic_string_view<Char> name, std::basic_string_view<Char> word)
{
    if (word.empty())
        return false;
    for (size_t at = name.find(word); at != name.npos; at = name.find(word, at + 1)) {
        const size_t end = at + word.size();
        if ((at == 0 || DrawScope::isSeparator(wchar_t(name[at - 1]))) &&
            (end == name.size() || DrawScope::isSeparator(wchar_t(name[end]))))
            return true;
    }
    return false;
}

} // namespace

bool DrawScope::hasWord(const tstring& name, const tstring& word)
{
    return hasWordIn<wchar_t>(name, word);
}

bool DrawScope::admits(std::u16string_view name, tstring& scratch) const
{
    bool widened = false;
    for (const Clause& clause : m_clauses) {
        switch (clause.kind) {
        case Clause::Contains:
            if (!clause.utf16 || !hasWordIn<char16_t>(name, *clause.utf16))
                return false;
            break;
        case Clause::Lacks:
            if (clause.utf16 && hasWordIn<char16_t>(name, *clause.utf16))
                return false;
            break;
        case Clause::Excludes: {
            const auto found = m_excluded.find(clause.text);
            if (found == m_excluded.end())
                break;
            if (!widened)
                NamePool::widen(name, scratch);
            widened = true;
            if (match(found->second, scratch))
                return false;
            break;
        }
        case Clause::CheckedIn:
            if (m_presenceUnknown)
                break;
            if (!m_checkedIn)
                return false;
            if (!widened)
                NamePool::widen(name, scratch);
            widened = true;
            if (m_checkedIn->find(scratch) == m_checkedIn->end())
                return false;
            break;
        }
    }
    return true;
}

std::optional<std::wstring_view> DrawScope::match(const Excluded& excluded, const tstring& name) const
{
    const auto whole = excluded.whole.find(name);
    if (whole != excluded.whole.end())
        return *whole;
    if (m_match == ExclusionMatch::Line || excluded.words.empty())
        return std::nullopt;
    const std::wstring_view view(name);
    for (size_t begin = 0; begin < view.size();) {
        size_t end = begin;
        while (end < view.size() && !isSeparator(view[end]))
            ++end;
        if (end > begin) {
            const auto word = excluded.words.find(view.substr(begin, end - begin));
            if (word != excluded.words.end())
                return *word;
        }
        begin = end + 1;
    }
    return std::nullopt;
}

bool DrawScope::admits(const tstring& name) const
{
    for (const Clause& clause : m_clauses) {
        switch (clause.kind) {
        case Clause::Contains:
            if (!hasWord(name, clause.text))
                return false;
            break;
        case Clause::Lacks:
            if (hasWord(name, clause.text))
                return false;
            break;
        case Clause::Excludes: {
            const auto found = m_excluded.find(clause.text);
            if (found != m_excluded.end() && match(found->second, name))
                return false;
            break;
        }
        case Clause::CheckedIn:
            if (!m_presenceUnknown && (!m_checkedIn || m_checkedIn->find(name) == m_checkedIn->end()))
                return false;
            break;
        }
    }
    return true;
}

std::vector<DrawScope::Exclusion> DrawScope::exclusions(const NamePool& pool) const
{
    std::vector<Exclusion> out;
    for (const auto& [file, excluded] : m_excluded) {
        Exclusion exclusion;
        exclusion.file = file;
        std::map<std::wstring_view, std::size_t> matches;
        for (const tstring& name : pool) {
            if (const auto line = match(excluded, name)) {
                ++exclusion.removed;
                ++matches[*line];
            }
        }
        for (const auto& [line, count] : matches) {
            if (count > 1)
                exclusion.ambiguous.emplace_back(tstring(std::wstring(line)), count);
        }
        out.push_back(std::move(exclusion));
    }
    return out;
}
