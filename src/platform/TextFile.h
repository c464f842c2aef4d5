#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

namespace TextFile {

// False when the file cannot be opened for reading.
bool readAll(const QString& path, std::string& bytes);

// A file without any write permission bit is read-only, as the Windows read-only
// attribute makes it, even for an administrator.
bool isReadOnly(const QString& path);

// Writes the whole content to a temporary file beside the target, syncs it
// and renames it over the target only when every byte is on disk, so a crash
// or a full disk leaves either the old or the new content. A failure leaves
// the old file byte for byte and removes the temporary file.
bool writeAtomically(const QString& path, const std::string& bytes);

// Puts a file already written beside the target (by a library that writes
// only to a path of its own) in its place in one step: synced, renamed over
// it, the folder synced. A failure leaves the old file and removes the new one.
bool replaceWith(const QString& temporary, const QString& path);

// Appends the bytes and syncs them; a failure cuts the file back to its old
// length (and removes a file it made), so no part of a line stays behind.
bool append(const QString& path, const std::string& bytes);

// Cuts the file to its first `length` bytes and syncs it.
bool truncate(const QString& path, qint64 length);

// The steps of a write. Tests make one of them fail, as a disk or a file
// system can, to see that nothing is lost.
enum class Step
{
    Create,
    Write,
    Sync,
    Close,
    Rename
};
void setFailingStep(std::optional<Step> step);

// Called where a kill may strike a write: before and after each rename that
// makes a file current, before the bytes of an append and after their sync.
// Tests end the program there to see that a restart loses nothing.
void setKillPoint(std::function<void()> point);

} // namespace TextFile
