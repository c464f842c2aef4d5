#pragma once

#include <QString>
#include <string>

namespace WinPath {

inline bool isSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// The file that a path as the program writes it (".\AwardInfo.ini",
// "Music\Init.mp3") names here, a relative one inside the folder `root`:
// backslashes become slashes, and where that path does not exist, its parts
// below `root` are matched without regard to case as the Windows file system
// does, so folders copied from Windows keep working.
QString toLocal(const QString& root, const std::wstring& path);

// A picture named in the event's files. A Windows path that does not exist
// here ("D:\年会\Backimg\1.jpg") is looked up by its file name in the event's
// "Backimg" folder, then in the event folder `root` itself. Empty when not found.
QString findPicture(const QString& root, const std::wstring& path);

} // namespace WinPath
