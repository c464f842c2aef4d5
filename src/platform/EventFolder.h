#pragma once

#include <QString>
#include <string>

// The event folder, named once for everything that reads or writes the
// event's files, so that nothing depends on the process's working folder: a
// second show or a thread serving phones can address the same files. The
// messages keep the program's own spellings (".\AwardInfo.ini"); this turns
// them into the files they name.
class EventFolder
{
public:
    // The folder at that path, made absolute.
    explicit EventFolder(const QString& path);

    const QString& path() const { return m_path; }
    // The file a path as the program writes it names (".\AwardInfo.ini",
    // "Music\Init.mp3", "Journal/journal.jsonl"): a relative one inside this
    // folder, matched without regard to case as Windows does; an absolute one
    // as it stands.
    QString file(const std::wstring& path) const;
    QString file(const QString& path) const { return file(path.toStdWString()); }
    QString file(const char* path) const { return file(QString::fromUtf8(path)); }
    // A picture named in the event's files, found as WinPath::findPicture finds it.
    QString picture(const std::wstring& path) const;
    // Whether the file is inside the folder once its links are followed.
    bool holds(const QString& file) const;

private:
    QString m_path;
};
