// A draw journal of any bytes: the checker reports, with an exit status it
// knows, and never crashes. The folder holds the kept list of the seeds'
// participants (p0 … p9), so their draws are replayed in full.
#include "FuzzCheck.h"
#include "app/PoolDigest.h"
#include "data/DrawJournal.h"
#include "data/JournalVerifier.h"
#include "platform/EventFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace {

bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool makeFolder(const QTemporaryDir& folder)
{
    std::vector<tstring> people;
    for (int i = 0; i < 10; ++i)
        people.push_back(L"p" + std::to_wstring(i));
    const QString list = DrawJournal::keptListName(QString::fromStdWString(PoolDigest(people)));
    return QDir().mkpath(folder.filePath("Journal")) &&
           write(folder.filePath("Journal/" + list), QByteArray::fromStdString(PoolText(people))) &&
           write(folder.filePath("AwardResult.ini"), QByteArray());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir folder;
    static const bool made = makeFolder(folder);
    if (!made || !write(folder.filePath("Journal/journal.jsonl"),
                        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))))
        return 0;
    const JournalVerifier::Report report = JournalVerifier::verify(EventFolder(folder.path()));
    FUZZ_CHECK(!report.lines.isEmpty());
    FUZZ_CHECK(report.exitCode >= JournalVerifier::Verified && report.exitCode <= JournalVerifier::Discarded);
    return 0;
}
