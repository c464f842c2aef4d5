// Sheets of any shape, written as a spreadsheet library writes them (shared
// strings, or inline ones row after row), come back cell for cell: texts of
// any length and script, empty cells, numbers and dates.
#include "FuzzCheck.h"
#include "data/ImportTable.h"
#include "data/XlsxReader.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <QTime>
#include <cstddef>
#include <cstdint>
#include <vector>
#include <xlsxwriter.h>

namespace {

// Takes the input's bytes as the choices; zeros once they run out.
class Choices
{
public:
    Choices(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    unsigned next(unsigned below)
    {
        unsigned value = 0;
        for (int i = 0; i < 3; ++i)
            value = value << 8 | (m_at < m_size ? m_data[m_at++] : 0);
        return below == 0 ? 0 : value % below;
    }
    bool more() const { return m_at < m_size; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// Letters of every width in UTF-8, the characters XML escapes, a line feed.
const char16_t Alphabet[] = u"aZ09 -.&<>\"'\n张伟研发部é";

QString textOf(Choices& choices)
{
    QString text;
    // Now and then longer than a piece of unpacked XML.
    const unsigned length =
        choices.next(8) == 0 ? choices.next(ImportTable::MaxCellChars) + 1 : choices.next(12) + 1;
    const unsigned kind = choices.next(4);
    for (unsigned i = 0; i < length; ++i) {
        if (kind == 0 && i + 1 < length) {
            text += QString::fromUcs4(U"\U00020000", 1);
            ++i;
            continue;
        }
        text += kind == 1 ? QChar(0x5F20)
                          : QChar(Alphabet[choices.next(sizeof(Alphabet) / sizeof(char16_t) - 1)]);
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.xlsx"));
    QFile::remove(path);
    Choices choices(data, size);
    lxw_workbook_options options = {};
    options.constant_memory = choices.next(2) ? LXW_TRUE : LXW_FALSE;
    lxw_workbook* workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    FUZZ_CHECK(workbook);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format* dateFormat = workbook_add_format(workbook);
    format_set_num_format(dateFormat, "yyyy-mm-dd");
    lxw_format* timeFormat = workbook_add_format(workbook);
    format_set_num_format(timeFormat, "yyyy-mm-dd hh:mm:ss");
    std::vector<QStringList> expected;
    const unsigned rows = choices.next(40);
    const unsigned columns = choices.next(12) + 1;
    for (unsigned r = 0; r < rows && choices.more(); ++r) {
        QStringList row;
        for (unsigned c = 0; c < columns; ++c) {
            QString shown;
            switch (choices.next(5)) {
            case 0:
                break;
            case 1: {
                const double number =
                    double(int(choices.next(1u << 24)) - (1 << 23)) / (choices.next(2) ? 100 : 1);
                worksheet_write_number(sheet, r, lxw_col_t(c), number, nullptr);
                shown = QString::number(number, 'g', 15);
                break;
            }
            case 2: {
                const QDate date = QDate(1900, 1, 1).addDays(choices.next(2958000));
                const bool withTime = choices.next(2);
                const QTime time = withTime ? QTime(0, 0).addSecs(int(choices.next(86400))) : QTime(0, 0);
                lxw_datetime when = {date.year(), date.month(),  date.day(),
                                     time.hour(), time.minute(), double(time.second())};
                worksheet_write_datetime(sheet, r, lxw_col_t(c), &when, withTime ? timeFormat : dateFormat);
                shown = date.toString(QStringLiteral("yyyy-MM-dd")) +
                        (withTime ? time.toString(QStringLiteral(" HH:mm:ss")) : QString());
                break;
            }
            default:
                shown = textOf(choices);
                worksheet_write_string(sheet, r, lxw_col_t(c), shown.toUtf8().constData(), nullptr);
            }
            row << shown;
        }
        while (!row.isEmpty() && row.back().isEmpty())
            row.removeLast();
        expected.push_back(row);
    }
    while (!expected.empty() && expected.back().isEmpty())
        expected.pop_back();
    FUZZ_CHECK(workbook_close(workbook) == LXW_NO_ERROR);

    ImportTable table;
    FUZZ_CHECK(XlsxReader::read(path, table));
    FUZZ_CHECK(table.rows == expected);
    return 0;
}
