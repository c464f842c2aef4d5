#pragma once

#include "app/CheckinBook.h"
#include "data/JournalEntry.h"
#include "platform/EventFolder.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <vector>

// Check-in during the show: the way [Phone] Checkin= asks for, whether it
// is open, guests checking in from phones and at the door, each journalled
// before anybody hears it worked, and the lists HR gets.
class CheckinDesk : public QObject
{
    Q_OBJECT
public:
    using Reply = std::function<void(const CheckinBook::Answer&)>;
    // Writes a journal entry after whatever draw is on its way.
    using Journal = std::function<void(const QJsonObject&)>;
    using Participants = std::function<std::vector<tstring>()>;
    // Phones' check-ins within this share one journal entry, so a burst costs one sync.
    static constexpr int BatchMs = 100;
    static constexpr int KeptNotes = 5;

    CheckinDesk(EventFolder folder, Journal journal, QObject* parent = nullptr);

    // At the start: the way asked for, the list (read only when checking
    // in), who the journal says came, and the key when there is one.
    void open(const Participants& participants, const std::vector<JournalEntry::Checkin>& journalled);
    // The list changed: a redraw, an edit.
    void setParticipants(const Participants& participants);

    CheckinBook::Mode mode() const { return m_mode; }
    bool isOpen() const { return m_open; }
    // Opening it by code the first time makes the event's key; false when
    // that key can be neither read nor made.
    bool setOpen(bool open);
    const CheckinBook& book() const { return m_book; }

    // A guest from a phone, by name (and code); `reply` hears the answer, a
    // check-in only once it is journalled. `device` tells a second phone.
    void checkIn(const QString& name, const QString& code, const QString& device, const Reply& reply);
    // Journals the check-ins waiting for their entry and answers them.
    void flush();
    // At the door: the operator checks these lines in by hand.
    void checkInAtDoor(const std::vector<tstring>& lines);
    // The last few things the operator should know (a second phone).
    const QStringList& notes() const { return m_notes; }

    // Checkin.csv (each line and its code) and Attendance.csv (who, when,
    // how) beside the event, UTF-8 with a byte order mark; false when not written.
    bool exportCodes();
    bool exportAttendance();

signals:
    // Someone checked in, or check-in opened or closed.
    void changed();

private:
    struct Pending
    {
        CheckinBook::Answer answer;
        QString device;
        Reply reply;
    };
    bool haveKey();
    void mark(const std::vector<tstring>& lines, const QString& via);

    EventFolder m_folder;
    Journal m_journal;
    CheckinBook m_book;
    CheckinBook::Mode m_mode = CheckinBook::Mode::Off;
    bool m_open = false;
    std::vector<Pending> m_pending;
    QTimer m_batch;
    QStringList m_notes;
};
