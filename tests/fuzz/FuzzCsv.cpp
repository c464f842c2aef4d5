// CSV files as HR or a spreadsheet program may hand them over: reading never
// fails but with a reason, and stays within the row bound.
#include "FuzzCheck.h"
#include "data/CsvReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ImportTable table;
    const bool read = CsvReader::parse(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), table);
    FUZZ_CHECK(read || !table.error.isEmpty());
    FUZZ_CHECK(qsizetype(table.rows.size()) <= ImportTable::MaxRows + 1);
    const ImportTable::Names names = table.names({}, true);
    for (const QString& name : names.names)
        FUZZ_CHECK(!name.contains(QLatin1Char('\n')) && !name.isEmpty());
    return 0;
}
