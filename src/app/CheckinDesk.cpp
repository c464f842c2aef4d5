#include "app/CheckinDesk.h"

#include "areas/TextAreas.h"
#include "data/WinnerHistory.h"
#include "data/WinnersTable.h"
#include "platform/Clock.h"
#include "platform/IniFile.h"
#include "platform/TextFile.h"

#include <QFileInfo>
#include <algorithm>
#include <utility>

CheckinDesk::CheckinDesk(EventFolder folder, Journal journal, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)), m_journal(std::move(journal))
{
    m_batch.setSingleShot(true);
    connect(&m_batch, &QTimer::timeout, this, &CheckinDesk::flush);
}

void CheckinDesk::open(const Participants& participants, const std::vector<JournalEntry::Checkin>& journalled)
{
    m_mode = CheckinBook::modeOf(QString::fromStdWString(
        IniFile::readString(m_folder.file(AwardInfoFile), L"Phone", L"Checkin", L"off", 16)));
    setParticipants(participants);
    for (const JournalEntry::Checkin& checkin : journalled)
        m_book.mark(checkin.lines, checkin.time, checkin.via);
    if (QFileInfo::exists(m_folder.file(CheckinCode::KeyFile)))
        haveKey();
}

void CheckinDesk::setParticipants(const Participants& participants)
{
    // Only an event that checks in pays for the index of every word of the list.
    if (m_mode != CheckinBook::Mode::Off)
        m_book.setParticipants(participants());
}

bool CheckinDesk::haveKey()
{
    if (m_book.hasKey())
        return true;
    const auto key = CheckinCode::eventKey(m_folder);
    if (key)
        m_book.setKey(*key);
    return key.has_value();
}

bool CheckinDesk::setOpen(bool open)
{
    if (open && m_mode == CheckinBook::Mode::Code && !haveKey())
        return false;
    m_open = open && m_mode != CheckinBook::Mode::Off;
    emit changed();
    return true;
}

void CheckinDesk::checkIn(const QString& name, const QString& code, const QString& device, const Reply& reply)
{
    if (!m_open) {
        CheckinBook::Answer closed;
        closed.message = QString::fromWCharArray(CheckinBook::Closed);
        reply(closed);
        return;
    }
    CheckinBook::Answer answer = m_book.find(m_mode, name, code, device);
    if (answer.ok && !answer.already) {
        // Twice within a batch is once.
        answer.already = std::any_of(m_pending.begin(), m_pending.end(), [&answer](const Pending& pending) {
            return pending.answer.line == answer.line;
        });
        m_pending.push_back(Pending{answer, device, reply});
        if (!m_batch.isActive())
            m_batch.start(BatchMs);
        return;
    }
    if (answer.otherDevice) {
        m_notes.prepend(
            QStringLiteral("%1 在另一部手机上又签到了一次").arg(QString::fromStdWString(answer.line)));
        while (m_notes.size() > KeptNotes)
            m_notes.removeLast();
        emit changed();
    }
    reply(answer);
}

void CheckinDesk::flush()
{
    m_batch.stop();
    if (m_pending.empty())
        return;
    const std::vector<Pending> pending = std::exchange(m_pending, {});
    std::vector<tstring> lines;
    for (const Pending& checkin : pending) {
        if (!checkin.answer.already)
            lines.push_back(checkin.answer.line);
    }
    if (!lines.empty())
        mark(lines, CheckinBook::nameOf(m_mode));
    for (const Pending& checkin : pending) {
        m_book.mark({checkin.answer.line}, Clock::now(), CheckinBook::nameOf(m_mode), checkin.device);
        checkin.reply(checkin.answer);
    }
}

void CheckinDesk::checkInAtDoor(const std::vector<tstring>& lines)
{
    std::vector<tstring> fresh;
    for (const tstring& line : lines) {
        if (!m_book.isCheckedIn(line))
            fresh.push_back(line);
    }
    if (!fresh.empty())
        mark(fresh, QStringLiteral("operator"));
}

void CheckinDesk::mark(const std::vector<tstring>& lines, const QString& via)
{
    m_journal(JournalEntry::checkin(JournalEntry::Checkin{lines, via, 0}));
    m_book.mark(lines, Clock::now(), via);
    emit changed();
}

bool CheckinDesk::exportCodes()
{
    if (!haveKey())
        return false;
    std::string csv = "\xEF\xBB\xBF";
    for (const auto& [line, code] : m_book.codes())
        csv += WinnersTable::csvField(QString::fromStdWString(line)).toStdString() + ',' +
               code.toStdString() + "\r\n";
    return TextFile::writeAtomically(m_folder.file("Checkin.csv"), csv);
}

bool CheckinDesk::exportAttendance()
{
    std::string csv = "\xEF\xBB\xBF";
    for (const auto& [line, entry] : m_book.entries())
        csv += WinnersTable::csvField(QString::fromStdWString(line)).toStdString() + ',' +
               WinnerHistory::timeText(entry.time).toStdString() + ',' + entry.via.toStdString() + "\r\n";
    return TextFile::writeAtomically(m_folder.file("Attendance.csv"), csv);
}
