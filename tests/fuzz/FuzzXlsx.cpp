// Workbooks as any program, a damaged disk or an attacker may make them:
// reading ends with the rows or a reason, within its bounds.
#include "FuzzCheck.h"
#include "data/XlsxReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("input.xlsx"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();
    ImportTable table;
    const bool read = XlsxReader::read(path, table);
    FUZZ_CHECK(read || (!table.error.isEmpty() && table.rows.empty()));
    FUZZ_CHECK(qsizetype(table.rows.size()) <= ImportTable::MaxRows);
    return 0;
}
