#include "data/ImportTable.h"

#include "data/CsvReader.h"
#include "data/XlsxReader.h"
#include "platform/LineReader.h"

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
    if (!info.isFile()) {
        table.error = QString::fromUtf8(NotATable);
        return false;
    }
    if (info.size() > MaxFileBytes) {
        table.error = QString::fromUtf8(TooLarge);
        return false;
    }
    QByteArray bytes;
    if (LineReader::readAll(path, MaxFileBytes, bytes) != LineReader::Opened::Ok) {
        table.error = QString::fromUtf8(NotATable);
        return false;
    }
    // A workbook is a zip archive, whatever its name says.
    if (bytes.startsWith("PK\x03\x04")) {
        bytes.clear();
        return XlsxReader::read(path, table);
    }
    return CsvReader::parse(bytes, table);
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
