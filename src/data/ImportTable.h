#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// The cells of a spreadsheet's first sheet as text, row by row, as HR hands
// the participant list over; `error` says why a file could not be read.
// Whatever a file holds, what is kept stays within the bounds below, and a
// file that passes one is refused with a message that names it.
struct ImportTable
{
    static constexpr qsizetype MaxRows = 1048576;
    static constexpr qsizetype MaxColumns = 16384;
    // As much as a spreadsheet's cell may hold.
    static constexpr qsizetype MaxCellChars = 32767;
    // Empty cells before a cell count too, and so do a workbook's shared strings.
    static constexpr qint64 MaxCells = 5000000;
    // Of all cells, as often as they stand (one long shared string in a
    // million cells is a million texts once the names are made), and of the
    // shared strings.
    static constexpr qint64 MaxTextChars = 100000000;
    static constexpr qint64 MaxFileBytes = qint64(256) << 20;
    static constexpr const char* TooLarge = "表格太大, 最多 1048576 行";
    static constexpr const char* TooWide = "表格太宽, 最多 16384 列";
    static constexpr const char* TooManyCells = "表格太大, 最多 500 万个单元格";
    static constexpr const char* TooMuchText = "表格太大, 文字最多 1 亿个字";
    static constexpr const char* CellTooLong = "单元格太长, 最多 32767 个字";
    static constexpr const char* FileTooLarge = "文件太大, 最多 256 MB";
    static constexpr const char* NotATable = "不是可以导入的表格 (xlsx 或 CSV)";

    std::vector<QStringList> rows;
    QString error;

    // The widest row.
    qsizetype columns() const;

    // Reads an .xlsx or a CSV file, by its content rather than its name.
    static bool read(const QString& path, ImportTable& table);

    // False, with the rows gone and the reason kept.
    bool fail(const QString& why);
    bool fail(const char* why) { return fail(QString::fromUtf8(why)); }
    // Counts what a reader keeps: false, failed, when it passes a bound.
    bool keep(qint64 cells, qint64 chars);
    // The cell at its place, with empty ones before it; an empty text adds nothing.
    bool put(qsizetype row, qsizetype column, const QString& text);

    // One name per row: the chosen columns' cells (all when none are
    // chosen), trimmed and joined by one space; rows with nothing are skipped.
    struct Names
    {
        QStringList names;
        qsizetype skipped = 0;
    };
    Names names(const std::vector<int>& chosen, bool headerRow) const;

private:
    qint64 m_cells = 0;
    qint64 m_chars = 0;
};
