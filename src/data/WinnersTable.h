#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <future>
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

// "Result.csv" and "Result.xlsx": the winners so far, one row each, with the
// name split into fields so that 工号 and 部门 can be filtered. Each file is
// replaced in one step; writes run on a thread of their own, the newest rows
// winning over any not yet written, so no frame of the show waits for them.
class WinnersTable
{
public:
    static constexpr const char* CsvFile = "Result.csv";
    static constexpr const char* XlsxFile = "Result.xlsx";

    ~WinnersTable();

    static QStringList fieldsOf(const QString& name);
    static QStringList headings(qsizetype fields);
    static qsizetype fieldCount(const std::vector<WinnerRow>& rows);
    // The CSV file's bytes: UTF-8 with its mark, CR LF, quoted where needed.
    static std::string csv(const std::vector<WinnerRow>& rows);
    static bool writeXlsx(const QString& path, const std::vector<WinnerRow>& rows);
    // Both files, now; false when either could not be written.
    static bool write(const std::vector<WinnerRow>& rows);

    // Writes them on the table's thread.
    void post(std::vector<WinnerRow> rows);
    // Waits for what was posted; false when its last write failed.
    bool finish();
    // Whether the last write that ended failed.
    bool failing() const { return m_failing; }

private:
    void drain();

    std::mutex m_mutex;
    std::optional<std::vector<WinnerRow>> m_pending;
    std::future<void> m_worker;
    // A thread is taking the pending rows; it says so under the lock before it ends.
    bool m_writing = false;
    std::atomic<bool> m_failing{false};
};
