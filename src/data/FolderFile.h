#pragma once

#include "areas/tstring.h"
#include "platform/EventFolder.h"
#include "platform/LineReader.h"

#include <QByteArray>
#include <QString>
#include <vector>

// A file of the event folder as the checker reads it: a regular file inside
// the folder (a link may point anywhere), within its bound, whatever a
// hostile folder holds. Files are named as the report names them, relative
// to the folder.
class FolderFile
{
public:
    // The most a kept list's names may take in memory, whatever its bytes.
    static constexpr qint64 MaxListMemory = qint64(512) << 20;

    // Why a file could not be read, for the report.
    static QString unreadable(LineReader::Opened opened, const QString& path, qint64 bound);
    // A whole file of the folder within its bound.
    static LineReader::Opened read(const EventFolder& folder, const QString& name, qint64 bound,
                                   QByteArray& bytes);
    // A participant or exclusion list kept beside the journal under its
    // digest: its names, or why not (missing, unreadable, too big, changed).
    static QString readKeptList(const EventFolder& folder, const QString& digest, qint64 bound,
                                std::vector<tstring>& names, QString& path);
};
