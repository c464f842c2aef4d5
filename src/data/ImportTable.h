#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// The cells of a spreadsheet's first sheet as text, row by row, as HR hands
// the participant list over; `error` says why a file could not be read.
struct ImportTable
{
    static constexpr qsizetype MaxRows = 1048576;
    static constexpr qint64 MaxFileBytes = qint64(1) << 30;
    static constexpr const char* TooLarge = "表格太大, 最多 1048576 行";
    static constexpr const char* NotATable = "不是可以导入的表格 (xlsx 或 CSV)";

    std::vector<QStringList> rows;
    QString error;

    // The widest row.
    qsizetype columns() const;

    // Reads an .xlsx or a CSV file, by its content rather than its name.
    static bool read(const QString& path, ImportTable& table);

    // One name per row: the chosen columns' cells (all when none are
    // chosen), trimmed and joined by one space; rows with nothing are skipped.
    struct Names
    {
        QStringList names;
        qsizetype skipped = 0;
    };
    Names names(const std::vector<int>& chosen, bool headerRow) const;
};
