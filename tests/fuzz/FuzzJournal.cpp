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
    // The verifier works in the event folder; the fuzzer's own paths are relative to where it started.
    static QTemporaryDir folder;
    static const bool made = QDir().mkpath(folder.filePath("Journal"));
    if (!made)
        return 0;
    QFile journal(folder.filePath("Journal/journal.jsonl"));
    if (!journal.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    journal.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    journal.close();
    const QString started = QDir::currentPath();
    QDir::setCurrent(folder.path());
    const JournalVerifier::Report report = JournalVerifier::verify();
    QDir::setCurrent(started);
    FUZZ_CHECK(!report.lines.isEmpty());
    return 0;
}
