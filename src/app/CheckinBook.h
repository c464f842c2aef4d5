#pragma once

#include "app/CheckinCode.h"
#include "app/DrawScope.h"
#include "areas/tstring.h"

#include <QString>
#include <map>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// Who is in the hall: the participant lines checked in, and the rules by
// which a guest's name (and code) picks a line. Identical lines are one
// person as far as the draw can tell, so they check in together.
class CheckinBook
{
public:
    enum class Mode
    {
        Off,
        Code,
        Name
    };
    static constexpr const wchar_t* Wrong = L"姓名或签到码不对";
    static constexpr const wchar_t* SameName = L"同名, 请到签到台";
    static constexpr const wchar_t* Closed = L"签到已结束";
    static constexpr const wchar_t* Done = L"签到成功";
    static constexpr const wchar_t* Again = L"已经签到";

    struct Answer
    {
        bool ok = false;
        QString message;
        // The line the guest is, already checked in or not.
        tstring line;
        bool already = false;
        // Checked in before from another phone.
        bool otherDevice = false;
    };
    struct Entry
    {
        qint64 time = 0;
        QString via;
    };

    // "off", "code" or "name"; anything else is off.
    static Mode modeOf(const QString& text);
    static QString nameOf(Mode mode);

    // Every line of the list, drawn or not; what was checked in stays.
    void setParticipants(const std::vector<tstring>& lines);
    void setKey(QByteArray key) { m_code.emplace(std::move(key)); }
    bool hasKey() const { return m_code.has_value(); }

    // The line a guest's name (and in code mode the code) picks; marks nothing.
    Answer find(Mode mode, const QString& name, const QString& code, const QString& device = QString()) const;
    // The lines, by this device when a phone's; those already in keep their first time.
    void mark(const std::vector<tstring>& lines, qint64 time, const QString& via,
              const QString& device = QString());

    bool isCheckedIn(const tstring& line) const { return m_entries.count(line) > 0; }
    std::size_t checkedInCount() const { return m_entries.size(); }
    std::size_t participantCount() const { return m_lines.size(); }
    const std::map<std::wstring, Entry>& entries() const { return m_entries; }
    // The lines checked in now, for a draw that may outlive later check-ins.
    DrawScope::CheckedIn snapshot() const;
    // Lines holding that word, for the door's search; at most `most`.
    std::vector<tstring> linesWith(const QString& word, std::size_t most) const;
    // Each distinct line with its code; empty without a key.
    std::vector<std::pair<tstring, QString>> codes() const;

private:
    std::vector<tstring> m_lines;
    std::unordered_map<std::wstring, std::vector<std::size_t>> m_byWord;
    std::map<std::wstring, Entry> m_entries;
    std::map<std::wstring, QString> m_devices;
    std::optional<CheckinCode> m_code;
    mutable DrawScope::CheckedIn m_snapshot;
};
