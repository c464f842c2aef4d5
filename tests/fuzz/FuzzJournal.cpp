// A draw journal of any bytes: the verifier reports and never crashes.
#include "FuzzCheck.h"
#include "data/JournalVerifier.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir folder;
    static const bool entered = QDir().mkpath(folder.filePath("Journal")) && QDir::setCurrent(folder.path());
    if (!entered)
        return 0;
    QFile journal(QStringLiteral("Journal/journal.jsonl"));
    if (!journal.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    journal.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    journal.close();
    const JournalVerifier::Report report = JournalVerifier::verify();
    FUZZ_CHECK(!report.lines.isEmpty());
    return 0;
}
