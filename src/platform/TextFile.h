#pragma once

#include <QString>
#include <string>

namespace TextFile {

// False when the file cannot be opened for reading.
bool readAll(const QString& path, std::string& bytes);

// A file without any write permission bit is read-only, as the Windows read-only
// attribute makes it, even for an administrator.
bool isReadOnly(const QString& path);

// Writes a temporary file beside the target, flushes it and renames it over
// the target, so a crash leaves either the old or the new content. A failure
// leaves the old file as it was.
bool writeAtomically(const QString& path, const std::string& bytes);

} // namespace TextFile
