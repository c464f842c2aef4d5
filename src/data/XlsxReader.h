#pragma once

#include "data/ImportTable.h"

#include <QString>

// The first sheet of an .xlsx workbook as its cells show: shared and inline
// strings, numbers as shown, the cached value of formulas, dates of the
// built-in formats 14 to 22 and of custom formats with y, m or d as
// yyyy-MM-dd. Every part is read a piece at a time and no further than a
// bound, so a damaged file or a zip bomb is refused, never a hang.
class XlsxReader
{
public:
    static constexpr qint64 MaxSheetBytes = qint64(1) << 30;
    static constexpr qint64 MaxPartBytes = qint64(256) << 20;

    static bool read(const QString& path, ImportTable& table);

    // "C12" → 2.
    static int columnOf(const QString& reference);
    // A number of a date format as Excel shows it.
    static QString dateOf(double serial, bool from1904);
    // Whether a custom number format shows a date.
    static bool isDateFormat(const QString& code);
};
