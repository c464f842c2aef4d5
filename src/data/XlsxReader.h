#pragma once

#include "data/ImportTable.h"

#include <QString>
#include <string_view>

// The first sheet of an .xlsx workbook as its cells show: shared and inline
// strings, numbers as shown, the cached value of formulas, dates and times
// (cells of type d, and numbers of the built-in date and time formats or of
// custom formats with y, m, d, h or s); a merged cell's value stands in every cell
// of the merge. Every part is read a piece at a time and no further than a
// bound, so a damaged file or a zip bomb is refused, never a hang.
class XlsxReader
{
public:
    static constexpr qint64 MaxSheetBytes = qint64(1) << 30;
    static constexpr qint64 MaxPartBytes = qint64(256) << 20;

    static bool read(const QString& path, ImportTable& table);

    // "C12" → column 2, row 11; -1 for what it lacks or what lies beyond a sheet.
    static void placeOf(std::string_view reference, qsizetype& row, qsizetype& column);
    // What a number format shows of a day's number.
    enum class DateKind : unsigned char
    {
        None,
        Date,
        DateTime,
        Time
    };
    // A day's number as yyyy-MM-dd, yyyy-MM-dd HH:mm:ss or HH:mm:ss; a
    // number no date can have stays a number.
    static QString dateOf(double serial, bool from1904, DateKind kind = DateKind::Date);
    // What a custom number format shows: y and d are of a date, h and s of a
    // time, m of a date unless h or s are there; quoted and bracketed text
    // count for nothing.
    static DateKind kindOf(const QString& code);
    // What a part bigger than its bound is told.
    static QString unpackedTooLarge(const char* part, qint64 maxBytes);
};
