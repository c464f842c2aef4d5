#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class EventFolder;

// The check-in code of a participant line: the first six letters of the
// unpadded base32 (RFC 4648) of HMAC-SHA256(key, the line in UTF-8), its 30
// leading bits. HR hands the codes out before the event; the key never
// leaves the event folder.
class CheckinCode
{
public:
    static constexpr int KeyBytes = 32;
    static constexpr int Letters = 6;
    // Beside the journal, raw bytes.
    static constexpr const char* KeyFile = "Journal/checkin.key";

    explicit CheckinCode(QByteArray key) : m_key(std::move(key)) {}

    QString of(const QString& line) const;
    // A code as a guest types it: case, spaces and "-" do not count, and 0,
    // 1 and 8 read as O, I and B, which the code's letters use instead.
    static QString normalized(const QString& typed);

    // The event's key, made (and kept) the first time; nothing when it can
    // be neither read nor made.
    static std::optional<QByteArray> eventKey(const EventFolder& folder);

private:
    QByteArray m_key;
};
