#pragma once

#include "platform/EventFolder.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// One row of the prize desk's table: a winner, or an absent winner who was replaced.
struct WinnerRow
{
    // From 1 across the event; 0 for an absent winner.
    qint64 number = 0;
    QString awardName;
    QString prizeName;
    QString name;
    QString time;
    QString fingerprint;
    QString note;
};

// The rows in blocks, one a prize: a block that did not change is shared
// with the table's thread, not copied or built again.
using WinnerBlocks = std::vector<std::shared_ptr<const std::vector<WinnerRow>>>;

// "Result.csv" and "Result.xlsx": the winners so far, one row each, with the
// name split into fields so that 工号 and 部门 can be filtered, under the
// list's own headings when it has them. The workbook has its times as
// date-times, columns as wide as their text, the heading row frozen and a
// filter on it. Each file is replaced in one step; writes run on a thread of
// their own, the newest rows winning over any not yet written, so no frame
// of the show waits for them.
class WinnersTable
{
public:
    static constexpr const char* CsvFile = "Result.csv";
    static constexpr const char* XlsxFile = "Result.xlsx";
    // In characters, a Chinese one counting two.
    static constexpr int MaxColumnWidth = 60;

    // The table of that event folder.
    explicit WinnersTable(EventFolder folder);
    ~WinnersTable();

    static QStringList fieldsOf(const QString& name);
    // A cell of a CSV file, quoted when it must be.
    static QString csvField(const QString& text);
    // The headings of the fields: the list's own (`fieldNames`, as the import
    // found them) when no name has more fields, else 字段1 … 字段N.
    static QStringList fieldHeadings(const std::vector<WinnerRow>& rows, const QStringList& fieldNames);
    static QStringList headings(const QStringList& fieldHeadings);
    // The CSV file's bytes: UTF-8 with its mark, CR LF, quoted where needed.
    static std::string csv(const std::vector<WinnerRow>& rows, const QStringList& fieldNames = {});
    static bool writeXlsx(const QString& path, const std::vector<WinnerRow>& rows,
                          const QStringList& fieldNames = {});
    // Both files of the folder, now; false when either could not be written.
    static bool write(const EventFolder& folder, const std::vector<WinnerRow>& rows,
                      const QStringList& fieldNames = {});

    static std::vector<WinnerRow> rowsOf(const WinnerBlocks& blocks);
    // Writes them on the table's thread.
    void post(WinnerBlocks blocks, QStringList fieldNames);
    // Waits for what was posted; false when its last write failed.
    bool finish();
    // Whether the last write that ended failed.
    bool failing() const { return m_failing; }

private:
    void drain();

    struct Pending
    {
        WinnerBlocks blocks;
        QStringList fieldNames;
    };
    const EventFolder m_folder;
    std::mutex m_mutex;
    std::optional<Pending> m_pending;
    std::future<void> m_worker;
    // A thread is taking the pending rows; it says so under the lock before it ends.
    bool m_writing = false;
    std::atomic<bool> m_failing{false};
};
