#include "data/WinnersTable.h"

#include "app/DrawScope.h"
#include "platform/TextFile.h"
#include "platform/ThreadPriority.h"

#include <QDate>
#include <QFile>
#include <QTime>
#include <utility>
#include <xlsxwriter.h>

QString WinnersTable::csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

namespace {

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

// "yyyy-MM-dd HH:mm:ss", read at its fixed places: Qt's parser would take
// longer than the rest of a big table.
bool timeOf(const QString& text, lxw_datetime& when)
{
    if (text.size() != 19)
        return false;
    const auto number = [&text](int at, int length, int& value) {
        value = 0;
        for (int i = at; i < at + length; ++i) {
            if (!text[i].isDigit())
                return false;
            value = value * 10 + text[i].digitValue();
        }
        return true;
    };
    int second = 0;
    const bool read = number(0, 4, when.year) && number(5, 2, when.month) && number(8, 2, when.day) &&
                      number(11, 2, when.hour) && number(14, 2, when.min) && number(17, 2, second) &&
                      text[4] == QLatin1Char('-') && text[7] == QLatin1Char('-') &&
                      text[10] == QLatin1Char(' ') && text[13] == QLatin1Char(':') &&
                      text[16] == QLatin1Char(':');
    when.sec = second;
    return read && when.year >= 1900 && QDate::isValid(when.year, when.month, when.day) &&
           QTime::isValid(when.hour, when.min, second);
}

// As wide as it shows: a Chinese character takes two places.
int widthOf(const QString& text)
{
    int width = 0;
    for (const QChar c : text)
        width += c.unicode() >= 0x1100 ? 2 : 1;
    return width;
}

} // namespace

WinnersTable::WinnersTable(EventFolder folder) : m_folder(std::move(folder)) {}

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

QStringList WinnersTable::fieldHeadings(const std::vector<WinnerRow>& rows, const QStringList& fieldNames)
{
    qsizetype fields = 1;
    for (const WinnerRow& row : rows)
        fields = std::max(fields, fieldsOf(row.name).size());
    if (!fieldNames.isEmpty() && fields <= fieldNames.size())
        return fieldNames;
    QStringList headings;
    for (qsizetype i = 1; i <= fields; ++i)
        headings << QStringLiteral("字段%1").arg(i);
    return headings;
}

QStringList WinnersTable::headings(const QStringList& fieldHeadings)
{
    return QStringList{QStringLiteral("序号"), QStringLiteral("奖项"), QStringLiteral("奖品"),
                       QStringLiteral("中奖人")}
           << fieldHeadings << QStringLiteral("时间") << QStringLiteral("记录") << QStringLiteral("备注");
}

std::string WinnersTable::csv(const std::vector<WinnerRow>& rows, const QStringList& fieldNames)
{
    const QStringList fields = fieldHeadings(rows, fieldNames);
    QString text;
    const auto line = [&text](const QStringList& cells) {
        QStringList quoted;
        for (const QString& cell : cells)
            quoted << csvField(cell);
        text += quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    };
    line(headings(fields));
    for (const WinnerRow& row : rows)
        line(cellsOf(row, fields.size()));
    return "\xEF\xBB\xBF" + text.toStdString();
}

bool WinnersTable::writeXlsx(const QString& path, const std::vector<WinnerRow>& rows,
                             const QStringList& fieldNames)
{
    const QByteArray file = QFile::encodeName(path);
    // Row after row, each written out at once: the table of a big event stays quick and small.
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(file.constData(), &options);
    if (!workbook)
        return false;
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "中奖名单");
    lxw_format* timeFormat = workbook_add_format(workbook);
    format_set_num_format(timeFormat, "yyyy-mm-dd hh:mm:ss");
    const QStringList fields = fieldHeadings(rows, fieldNames);
    const QStringList heading = headings(fields);
    const lxw_col_t timeColumn = lxw_col_t(heading.size() - 3);
    std::vector<QStringList> table;
    table.reserve(rows.size());
    std::vector<int> widths(size_t(heading.size()), 0);
    for (const WinnerRow& row : rows) {
        table.push_back(cellsOf(row, fields.size()));
        for (qsizetype c = 0; c < table.back().size(); ++c)
            widths[size_t(c)] = std::max(widths[size_t(c)], widthOf(table.back()[c]));
    }
    for (qsizetype c = 0; c < heading.size(); ++c) {
        const int width = std::min(std::max(widths[size_t(c)], widthOf(heading[c])) + 2, MaxColumnWidth);
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), width, nullptr);
    }
    worksheet_freeze_panes(sheet, 1, 0);
    worksheet_autofilter(sheet, 0, 0, lxw_row_t(rows.size()), lxw_col_t(heading.size() - 1));
    for (qsizetype c = 0; c < heading.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), heading[c].toUtf8().constData(), nullptr);
    for (size_t r = 0; r < table.size(); ++r) {
        const QStringList& cells = table[r];
        const lxw_row_t at = lxw_row_t(r + 1);
        for (qsizetype c = 0; c < cells.size(); ++c) {
            if (cells[c].isEmpty())
                continue;
            lxw_datetime when{};
            if (c == 0) {
                worksheet_write_number(sheet, at, 0, cells[c].toDouble(), nullptr);
            } else if (lxw_col_t(c) == timeColumn && timeOf(cells[c], when)) {
                worksheet_write_datetime(sheet, at, lxw_col_t(c), &when, timeFormat);
            } else {
                worksheet_write_string(sheet, at, lxw_col_t(c), cells[c].toUtf8().constData(), nullptr);
            }
        }
    }
    return workbook_close(workbook) == LXW_NO_ERROR;
}

bool WinnersTable::write(const EventFolder& folder, const std::vector<WinnerRow>& rows,
                         const QStringList& fieldNames)
{
    // The workbook takes most of the time; the CSV file is written beside it.
    const QString csvFile = folder.file(CsvFile);
    std::future<bool> csvWritten = std::async(std::launch::async, [&rows, &fieldNames, &csvFile] {
        ThreadPriority::runWhenIdle();
        return TextFile::writeAtomically(csvFile, csv(rows, fieldNames));
    });
    // The library writes only to a path of its own; that file then replaces the table in one step.
    const QString xlsxFile = folder.file(XlsxFile);
    const QString temporary = xlsxFile + QStringLiteral(".tmp");
    const bool xlsxWritten =
        writeXlsx(temporary, rows, fieldNames) && TextFile::replaceWith(temporary, xlsxFile);
    QFile::remove(temporary);
    return csvWritten.get() && xlsxWritten;
}

std::vector<WinnerRow> WinnersTable::rowsOf(const WinnerBlocks& blocks)
{
    std::size_t count = 0;
    for (const auto& block : blocks)
        count += block->size();
    std::vector<WinnerRow> rows;
    rows.reserve(count);
    for (const auto& block : blocks)
        rows.insert(rows.end(), block->begin(), block->end());
    return rows;
}

void WinnersTable::post(WinnerBlocks blocks, QStringList fieldNames)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pending = Pending{std::move(blocks), std::move(fieldNames)};
    if (m_writing)
        return;
    m_writing = true;
    m_worker = std::async(std::launch::async, [this] {
        ThreadPriority::runWhenIdle();
        drain();
    });
}

void WinnersTable::drain()
{
    for (;;) {
        Pending pending;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_pending) {
                m_writing = false;
                return;
            }
            pending = std::move(*m_pending);
            m_pending.reset();
        }
        m_failing = !write(m_folder, rowsOf(pending.blocks), pending.fieldNames);
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
