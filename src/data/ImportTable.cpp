#include "data/ImportTable.h"

#include "data/CsvReader.h"
#include "data/XlsxReader.h"
#include "platform/LineReader.h"

#include <QFile>
#include <QFileInfo>

qsizetype ImportTable::columns() const
{
    qsizetype widest = 0;
    for (const QStringList& row : rows)
        widest = std::max(widest, row.size());
    return widest;
}

bool ImportTable::read(const QString& path, ImportTable& table)
{
    table = ImportTable();
    const QFileInfo info(path);
    if (!info.isFile())
        return table.fail(NotATable);
    if (info.size() > MaxFileBytes)
        return table.fail(FileTooLarge);
    // A workbook is a zip archive, whatever its name says.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return table.fail(NotATable);
    const bool zipped = file.read(4) == QByteArray("PK\x03\x04");
    file.close();
    if (zipped)
        return XlsxReader::read(path, table);
    QByteArray bytes;
    switch (LineReader::readAll(path, MaxFileBytes, bytes)) {
    case LineReader::Opened::Ok:
        return CsvReader::parse(bytes, table);
    case LineReader::Opened::TooLarge:
        return table.fail(FileTooLarge);
    default:
        return table.fail(NotATable);
    }
}

bool ImportTable::fail(const QString& why)
{
    rows.clear();
    rows.shrink_to_fit();
    error = why;
    m_cells = 0;
    m_chars = 0;
    return false;
}

bool ImportTable::keep(qint64 cells, qint64 chars)
{
    m_cells += cells;
    m_chars += chars;
    if (m_cells > MaxCells)
        return fail(TooManyCells);
    if (m_chars > MaxTextChars)
        return fail(TooMuchText);
    return true;
}

bool ImportTable::put(qsizetype row, qsizetype column, const QString& text)
{
    if (row < 0 || row >= MaxRows)
        return fail(TooLarge);
    if (column < 0 || column >= MaxColumns)
        return fail(TooWide);
    if (text.isEmpty())
        return true;
    if (text.size() > MaxCellChars)
        return fail(CellTooLong);
    if (qsizetype(rows.size()) <= row)
        rows.resize(size_t(row) + 1);
    QStringList& cells = rows[size_t(row)];
    const qsizetype added = std::max<qsizetype>(0, column + 1 - cells.size());
    const qsizetype replaced = column < cells.size() ? cells[column].size() : 0;
    if (!keep(added, text.size() - replaced))
        return false;
    if (added == 0) {
        cells[column] = text;
        return true;
    }
    while (cells.size() < column)
        cells.append(QString());
    cells.append(text);
    return true;
}

ImportTable::Names ImportTable::names(const std::vector<int>& chosen, bool headerRow) const
{
    Names out;
    for (size_t r = headerRow ? 1 : 0; r < rows.size(); ++r) {
        const QStringList& row = rows[r];
        QStringList parts;
        const auto take = [&](qsizetype column) {
            if (column < 0 || column >= row.size())
                return;
            // A name is one line of data.txt.
            QString cell = row[column];
            cell.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            cell.replace(QLatin1Char('\t'), QLatin1Char(' '));
            cell = cell.simplified();
            if (!cell.isEmpty())
                parts << cell;
        };
        if (chosen.empty()) {
            for (qsizetype c = 0; c < row.size(); ++c)
                take(c);
        } else {
            for (int c : chosen)
                take(c);
        }
        if (parts.isEmpty())
            ++out.skipped;
        else
            out.names << parts.join(QLatin1Char(' '));
    }
    return out;
}
