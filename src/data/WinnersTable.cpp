#include "data/WinnersTable.h"

#include "app/DrawScope.h"
#include "platform/TextFile.h"

#include <QFile>
#include <xlsxwriter.h>

namespace {

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QStringList cellsOf(const WinnerRow& row, qsizetype fields)
{
    QStringList cells{row.number > 0 ? QString::number(row.number) : QString(), row.awardName, row.prizeName,
                      row.name};
    QStringList split = WinnersTable::fieldsOf(row.name);
    while (split.size() < fields)
        split << QString();
    cells << split << row.time << row.fingerprint << row.note;
    return cells;
}

} // namespace

WinnersTable::~WinnersTable()
{
    finish();
}

QStringList WinnersTable::fieldsOf(const QString& name)
{
    QStringList fields;
    for (const tstring& word : DrawScope::words(name.toStdWString()))
        fields << QString::fromStdWString(word);
    return fields;
}

qsizetype WinnersTable::fieldCount(const std::vector<WinnerRow>& rows)
{
    qsizetype fields = 1;
    for (const WinnerRow& row : rows)
        fields = std::max(fields, fieldsOf(row.name).size());
    return fields;
}

QStringList WinnersTable::headings(qsizetype fields)
{
    QStringList headings = {QStringLiteral("序号"), QStringLiteral("奖项"), QStringLiteral("奖品"),
                            QStringLiteral("中奖人")};
    for (qsizetype i = 1; i <= fields; ++i)
        headings << QStringLiteral("字段%1").arg(i);
    headings << QStringLiteral("时间") << QStringLiteral("记录") << QStringLiteral("备注");
    return headings;
}

std::string WinnersTable::csv(const std::vector<WinnerRow>& rows)
{
    const qsizetype fields = fieldCount(rows);
    QString text;
    const auto line = [&text](const QStringList& cells) {
        QStringList quoted;
        for (const QString& cell : cells)
            quoted << csvField(cell);
        text += quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    };
    line(headings(fields));
    for (const WinnerRow& row : rows)
        line(cellsOf(row, fields));
    return "\xEF\xBB\xBF" + text.toStdString();
}

bool WinnersTable::writeXlsx(const QString& path, const std::vector<WinnerRow>& rows)
{
    const QByteArray file = QFile::encodeName(path);
    // Row after row, each written out at once: the table of a big event stays quick and small.
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(file.constData(), &options);
    if (!workbook)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "中奖名单");
    const qsizetype fields = fieldCount(rows);
    const auto put = [sheet](lxw_row_t r, const QStringList& cells, bool numbered) {
        for (qsizetype c = 0; c < cells.size(); ++c) {
            if (numbered && c == 0 && !cells[c].isEmpty())
                worksheet_write_number(sheet, r, lxw_col_t(c), cells[c].toDouble(), nullptr);
            else if (!cells[c].isEmpty())
                worksheet_write_string(sheet, r, lxw_col_t(c), cells[c].toUtf8().constData(), nullptr);
        }
    };
    put(0, headings(fields), false);
    for (size_t r = 0; r < rows.size(); ++r)
        put(lxw_row_t(r + 1), cellsOf(rows[r], fields), true);
    return workbook_close(workbook) == LXW_NO_ERROR;
}

bool WinnersTable::write(const std::vector<WinnerRow>& rows)
{
    // The workbook takes most of the time; the CSV file is written beside it.
    std::future<bool> csvWritten = std::async(std::launch::async, [&rows] {
        return TextFile::writeAtomically(QString::fromLatin1(CsvFile), csv(rows));
    });
    // The library writes only to a path of its own; that file then replaces the table in one step.
    const QString temporary = QString::fromLatin1(XlsxFile) + QStringLiteral(".tmp");
    const bool xlsxWritten =
        writeXlsx(temporary, rows) && TextFile::replaceWith(temporary, QString::fromLatin1(XlsxFile));
    QFile::remove(temporary);
    return csvWritten.get() && xlsxWritten;
}

void WinnersTable::post(std::vector<WinnerRow> rows)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pending = std::move(rows);
    if (m_writing)
        return;
    m_writing = true;
    m_worker = std::async(std::launch::async, [this] { drain(); });
}

void WinnersTable::drain()
{
    for (;;) {
        std::vector<WinnerRow> rows;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_pending) {
                m_writing = false;
                return;
            }
            rows = std::move(*m_pending);
            m_pending.reset();
        }
        m_failing = !write(rows);
    }
}

bool WinnersTable::finish()
{
    std::future<void> worker;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        worker = std::move(m_worker);
    }
    if (worker.valid())
        worker.wait();
    return !m_failing;
}
