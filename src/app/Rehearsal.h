#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

class EventFolder;

// A rehearsal runs the show on a copy of the event beside it, so the real
// event's files stay byte for byte as they were; the copy stays for
// inspection and the real event never reads it.
class Rehearsal
{
public:
    static constexpr const char* Mark = "彩排";

    // The copy's folder: "<event>-彩排-<yyyyMMdd-HHmmss>" beside the event.
    static QString folderFor(const QString& event, const QDateTime& when);
    // Copies every file and folder of the event there (its lock excepted);
    // the copy's path, or nothing when it could not be made whole.
    static std::optional<QString> copy(const EventFolder& event, const QDateTime& when);
};
