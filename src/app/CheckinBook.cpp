#include "app/CheckinBook.h"

CheckinBook::Mode CheckinBook::modeOf(const QString& text)
{
    const QString mode = text.trimmed().toLower();
    if (mode == QLatin1String("code"))
        return Mode::Code;
    if (mode == QLatin1String("name"))
        return Mode::Name;
    return Mode::Off;
}

QString CheckinBook::nameOf(Mode mode)
{
    switch (mode) {
    case Mode::Code:
        return QStringLiteral("code");
    case Mode::Name:
        return QStringLiteral("name");
    case Mode::Off:
        break;
    }
    return QStringLiteral("off");
}

void CheckinBook::setParticipants(const std::vector<tstring>& lines)
{
    m_lines.clear();
    m_byWord.clear();
    std::unordered_set<std::wstring> seen;
    for (const tstring& line : lines) {
        if (!seen.insert(line).second)
            continue;
        m_lines.push_back(line);
        for (const tstring& word : DrawScope::words(line)) {
            std::vector<std::size_t>& at = m_byWord[word];
            if (at.empty() || at.back() != m_lines.size() - 1)
                at.push_back(m_lines.size() - 1);
        }
    }
}

CheckinBook::Answer CheckinBook::find(Mode mode, const QString& name, const QString& code,
                                      const QString& device) const
{
    Answer answer;
    answer.message = QString::fromWCharArray(Wrong);
    const std::wstring typed = name.trimmed().toStdWString();
    std::vector<std::size_t> candidates;
    if (const auto found = m_byWord.find(typed); found != m_byWord.end())
        candidates = found->second;
    if (mode == Mode::Code) {
        if (!m_code)
            return answer;
        const QString wanted = CheckinCode::normalized(code);
        std::vector<std::size_t> matching;
        for (const std::size_t at : candidates) {
            if (m_code->of(QString::fromStdWString(m_lines[at])) == wanted)
                matching.push_back(at);
        }
        candidates = std::move(matching);
    }
    if (mode == Mode::Off || candidates.empty())
        return answer;
    if (candidates.size() > 1) {
        // Two lines with the same code and name are the same person's in all but the list's eyes.
        answer.message = QString::fromWCharArray(mode == Mode::Name ? SameName : Wrong);
        return answer;
    }
    answer.ok = true;
    answer.line = m_lines[candidates.front()];
    answer.already = isCheckedIn(answer.line);
    answer.message = QString::fromWCharArray(answer.already ? Again : Done);
    const auto kept = m_devices.find(answer.line);
    answer.otherDevice = answer.already && !device.isEmpty() && kept != m_devices.end() &&
                         !kept->second.isEmpty() && kept->second != device;
    return answer;
}

void CheckinBook::mark(const std::vector<tstring>& lines, qint64 time, const QString& via,
                       const QString& device)
{
    for (const tstring& line : lines) {
        if (m_entries.emplace(line, Entry{time, via}).second)
            m_snapshot.reset();
        if (!device.isEmpty() && m_devices.count(line) == 0)
            m_devices[line] = device;
    }
}

DrawScope::CheckedIn CheckinBook::snapshot() const
{
    if (!m_snapshot) {
        auto lines = std::make_shared<std::unordered_set<std::wstring>>();
        lines->reserve(m_entries.size());
        for (const auto& entry : m_entries)
            lines->insert(entry.first);
        m_snapshot = std::move(lines);
    }
    return m_snapshot;
}

std::vector<std::pair<tstring, QString>> CheckinBook::codes() const
{
    std::vector<std::pair<tstring, QString>> out;
    if (!m_code)
        return out;
    out.reserve(m_lines.size());
    for (const tstring& line : m_lines)
        out.emplace_back(line, m_code->of(QString::fromStdWString(line)));
    return out;
}

std::vector<tstring> CheckinBook::linesWith(const QString& word, std::size_t most) const
{
    std::vector<tstring> lines;
    const auto found = m_byWord.find(word.trimmed().toStdWString());
    if (found == m_byWord.end())
        return lines;
    for (const std::size_t at : found->second) {
        if (lines.size() >= most)
            break;
        lines.push_back(m_lines[at]);
    }
    return lines;
}
