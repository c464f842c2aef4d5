#include "data/XlsxReader.h"

#include "data/XmlStream.h"

#include <QDate>
#include <QFile>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <unzip.h>

namespace {

// A part of the workbook as XML, unpacked a piece at a time and never past its bound.
class Part
{
public:
    Part(unzFile zip, const char* name, qint64 maxBytes)
        : m_zip(zip), m_xml([this](char* data, qint64 size) { return read(data, size); }), m_name(name),
          m_max(maxBytes)
    {
        // 2: the names of the parts in any case.
        m_open = unzLocateFile(zip, name, 2) == UNZ_OK && unzOpenCurrentFile(zip) == UNZ_OK;
        unz_file_info64 info{};
        // A bomb that says what it holds is refused before a byte is unpacked.
        if (m_open && unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) == UNZ_OK &&
            qint64(info.uncompressed_size) > m_max)
            m_tooLarge = true;
    }
    ~Part()
    {
        if (m_open)
            unzCloseCurrentFile(m_zip);
    }
    Part(const Part&) = delete;
    Part& operator=(const Part&) = delete;

    bool isOpen() const { return m_open; }
    XmlStream& xml() { return m_xml; }
    // Why the part could not be read.
    QString problem() const
    {
        return m_tooLarge ? XlsxReader::unpackedTooLarge(m_name, m_max)
                          : QString::fromUtf8(ImportTable::NotATable);
    }

private:
    qint64 read(char* data, qint64 size)
    {
        if (!m_open || m_tooLarge)
            return -1;
        const int got = unzReadCurrentFile(m_zip, data, unsigned(size));
        if (got < 0)
            return -1;
        m_read += got;
        if (m_read > m_max) {
            m_tooLarge = true;
            return -1;
        }
        return got;
    }

    unzFile m_zip;
    XmlStream m_xml;
    const char* m_name;
    qint64 m_max;
    qint64 m_read = 0;
    bool m_open = false;
    bool m_tooLarge = false;
};

// The text of a string item (<si> or <is>): its <t> pieces without the
// phonetic runs, within a cell's bound. Reading stops at the item's end.
bool readItem(Part& part, std::string_view end, QString& text, ImportTable& table)
{
    XmlStream& xml = part.xml();
    QByteArray bytes;
    int phonetic = 0;
    bool inText = false;
    for (;;) {
        switch (xml.next()) {
        case XmlStream::StartElement:
            phonetic += xml.name() == "rPh";
            inText = xml.name() == "t" && phonetic == 0;
            break;
        case XmlStream::EndElement:
            if (xml.name() == end) {
                text = QString::fromUtf8(bytes);
                if (text.size() > ImportTable::MaxCellChars)
                    return table.fail(ImportTable::CellTooLong);
                return true;
            }
            phonetic -= xml.name() == "rPh";
            inText = false;
            break;
        case XmlStream::Text:
            if (!inText)
                break;
            bytes += xml.text();
            // Four bytes at most for a character.
            if (bytes.size() > ImportTable::MaxCellChars * 4)
                return table.fail(ImportTable::CellTooLong);
            break;
        default:
            return table.fail(part.problem());
        }
    }
}

QString numberText(const QByteArray& value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? QString::number(number, 'g', 15) : QString::fromUtf8(value);
}

struct Book
{
    QByteArray sheetPath = "xl/worksheets/sheet1.xml";
    bool from1904 = false;
    std::vector<QString> shared;
    // What each cell style shows of a day's number.
    std::vector<XlsxReader::DateKind> dateStyles;
};

// The first sheet, through the workbook and its relations.
bool readWorkbook(unzFile zip, Book& book, ImportTable& table)
{
    QByteArray firstSheetId;
    {
        Part workbook(zip, "xl/workbook.xml", XlsxReader::MaxPartBytes);
        if (!workbook.isOpen())
            return table.fail(ImportTable::NotATable);
        XmlStream& xml = workbook.xml();
        for (XmlStream::Token token; (token = xml.next()) != XmlStream::End;) {
            if (token == XmlStream::Invalid)
                return table.fail(workbook.problem());
            if (xml.isStart("workbookPr"))
                book.from1904 = xml.attribute("date1904") == "1" || xml.attribute("date1904") == "true";
            else if (xml.isStart("sheet") && firstSheetId.isEmpty())
                firstSheetId = xml.attribute("id");
        }
    }
    if (firstSheetId.isEmpty())
        return true;
    Part relations(zip, "xl/_rels/workbook.xml.rels", XlsxReader::MaxPartBytes);
    if (!relations.isOpen())
        return true;
    XmlStream& xml = relations.xml();
    for (XmlStream::Token token; (token = xml.next()) != XmlStream::End;) {
        if (token == XmlStream::Invalid)
            return table.fail(relations.problem());
        if (xml.isStart("Relationship") && xml.attribute("Id") == firstSheetId) {
            const QByteArray target = xml.attribute("Target");
            book.sheetPath = target.startsWith('/') ? target.mid(1) : "xl/" + target;
        }
    }
    return true;
}

bool readSharedStrings(unzFile zip, Book& book, ImportTable& table)
{
    Part strings(zip, "xl/sharedStrings.xml", XlsxReader::MaxPartBytes);
    if (!strings.isOpen())
        return true;
    XmlStream& xml = strings.xml();
    for (XmlStream::Token token; (token = xml.next()) != XmlStream::End;) {
        if (token == XmlStream::Invalid)
            return table.fail(strings.problem());
        if (!xml.isStart("si"))
            continue;
        QString text;
        // The strings are kept beside the cells, within the same bounds.
        if (!readItem(strings, "si", text, table) || !table.keep(1, text.size()))
            return false;
        book.shared.push_back(std::move(text));
    }
    return true;
}

bool readStyles(unzFile zip, Book& book, ImportTable& table)
{
    using Kind = XlsxReader::DateKind;
    // The built-in formats of dates and times.
    std::map<int, Kind> dateFormats = {{14, Kind::Date}, {15, Kind::Date}, {16, Kind::Date},
                                       {17, Kind::Date}, {18, Kind::Time}, {19, Kind::Time},
                                       {20, Kind::Time}, {21, Kind::Time}, {22, Kind::DateTime},
                                       {45, Kind::Time}, {46, Kind::Time}, {47, Kind::Time}};
    Part styles(zip, "xl/styles.xml", XlsxReader::MaxPartBytes);
    if (!styles.isOpen())
        return true;
    XmlStream& xml = styles.xml();
    bool inFormats = false;
    bool inCellFormats = false;
    for (XmlStream::Token token; (token = xml.next()) != XmlStream::End;) {
        if (token == XmlStream::Invalid)
            return table.fail(styles.problem());
        // Differential formats have numFmt and xf elements of their own.
        if (xml.name() == "numFmts")
            inFormats = token == XmlStream::StartElement;
        else if (xml.name() == "cellXfs")
            inCellFormats = token == XmlStream::StartElement;
        else if (inFormats && xml.isStart("numFmt"))
            dateFormats[xml.attribute("numFmtId").toInt()] =
                XlsxReader::kindOf(QString::fromUtf8(xml.attribute("formatCode")));
        else if (inCellFormats && xml.isStart("xf") && book.dateStyles.size() < 65536) {
            const auto format = dateFormats.find(xml.attribute("numFmtId").toInt());
            book.dateStyles.push_back(format == dateFormats.end() ? XlsxReader::DateKind::None
                                                                  : format->second);
        }
    }
    return true;
}

// One cell as it was read.
struct Cell
{
    QByteArray type;
    int style = 0;
    QByteArray value;
    QString inlineText;
};

QString shownText(const Cell& cell, const Book& book)
{
    if (cell.type == "s") {
        bool ok = false;
        const qlonglong index = cell.value.trimmed().toLongLong(&ok);
        return ok && index >= 0 && index < qlonglong(book.shared.size()) ? book.shared[size_t(index)]
                                                                         : QString();
    }
    if (cell.type == "inlineStr")
        return cell.inlineText;
    if (cell.value.isEmpty())
        return QString();
    if (cell.type == "b")
        return cell.value == "1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    if (cell.type == "str" || cell.type == "e")
        return QString::fromUtf8(cell.value);
    if (cell.type == "d") {
        const QDate date = QDate::fromString(QString::fromLatin1(cell.value.left(10)), Qt::ISODate);
        return date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString::fromUtf8(cell.value);
    }
    if (cell.style >= 0 && size_t(cell.style) < book.dateStyles.size() &&
        book.dateStyles[size_t(cell.style)] != XlsxReader::DateKind::None) {
        bool ok = false;
        const double serial = cell.value.toDouble(&ok);
        if (ok)
            return XlsxReader::dateOf(serial, book.from1904, book.dateStyles[size_t(cell.style)]);
    }
    return numberText(cell.value);
}

struct Merge
{
    qsizetype firstRow;
    qsizetype firstColumn;
    qsizetype lastRow;
    qsizetype lastColumn;
};

// The value of a merge stands in every cell of it the sheet has rows and
// columns for: a title merged across a whole row adds no columns.
bool applyMerges(const std::vector<Merge>& merges, ImportTable& table)
{
    qint64 touched = 0;
    const qsizetype columns = table.columns();
    for (const Merge& merge : merges) {
        if (merge.firstRow >= qsizetype(table.rows.size()) ||
            merge.firstColumn >= table.rows[size_t(merge.firstRow)].size())
            continue;
        const QString value = table.rows[size_t(merge.firstRow)][merge.firstColumn];
        const qsizetype lastRow = std::min(merge.lastRow, qsizetype(table.rows.size()) - 1);
        for (qsizetype r = merge.firstRow; r <= lastRow; ++r) {
            for (qsizetype c = merge.firstColumn; c <= std::min(merge.lastColumn, columns - 1); ++c) {
                // Merges that overlap again and again must not take forever either.
                if (++touched > ImportTable::MaxCells)
                    return table.fail(ImportTable::TooManyCells);
                if (!table.put(r, c, value))
                    return false;
            }
        }
    }
    return true;
}

bool readSheet(unzFile zip, const Book& book, ImportTable& table)
{
    Part sheet(zip, book.sheetPath.constData(), XlsxReader::MaxSheetBytes);
    if (!sheet.isOpen())
        return table.fail(ImportTable::NotATable);
    XmlStream& xml = sheet.xml();
    std::vector<Merge> merges;
    qsizetype row = -1;
    qsizetype column = -1;
    bool inCell = false;
    bool inValue = false;
    Cell cell;
    for (;;) {
        const XmlStream::Token token = xml.next();
        if (token == XmlStream::End)
            break;
        if (token == XmlStream::Invalid)
            return table.fail(sheet.problem());
        if (token == XmlStream::Text) {
            if (inValue) {
                cell.value += xml.text();
                if (cell.value.size() > ImportTable::MaxCellChars * 4)
                    return table.fail(ImportTable::CellTooLong);
            }
            continue;
        }
        const std::string_view name = xml.name();
        if (token == XmlStream::EndElement) {
            if (name == "v") {
                inValue = false;
            } else if (name == "c" && inCell) {
                inCell = false;
                if (!table.put(row, column, shownText(cell, book)))
                    return false;
            }
            continue;
        }
        if (name == "row") {
            qsizetype column0 = -1;
            qsizetype at = -1;
            XlsxReader::placeOf("A" + xml.attribute("r").toStdString(), at, column0);
            row = at >= 0 ? at : row + 1;
            column = -1;
            if (row >= ImportTable::MaxRows)
                return table.fail(ImportTable::TooLarge);
        } else if (name == "c" && row >= 0) {
            qsizetype at = -1;
            qsizetype placed = -1;
            XlsxReader::placeOf(xml.attribute("r").toStdString(), at, placed);
            column = placed >= 0 ? placed : column + 1;
            if (column >= ImportTable::MaxColumns)
                return table.fail(ImportTable::TooWide);
            cell = Cell{xml.attribute("t"), xml.attribute("s").toInt(), {}, {}};
            inCell = true;
        } else if (name == "v" && inCell) {
            inValue = true;
        } else if (name == "is" && inCell) {
            if (!readItem(sheet, "is", cell.inlineText, table))
                return false;
        } else if (name == "mergeCell") {
            const QByteArray reference = xml.attribute("ref");
            const qsizetype colon = reference.indexOf(':');
            Merge merge{-1, -1, -1, -1};
            XlsxReader::placeOf(reference.left(colon).toStdString(), merge.firstRow, merge.firstColumn);
            XlsxReader::placeOf(reference.mid(colon + 1).toStdString(), merge.lastRow, merge.lastColumn);
            if (colon > 0 && merge.firstRow >= 0 && merge.firstColumn >= 0 &&
                merge.lastRow >= merge.firstRow && merge.lastColumn >= merge.firstColumn &&
                qint64(merges.size()) < ImportTable::MaxCells)
                merges.push_back(merge);
        }
    }
    return applyMerges(merges, table);
}

} // namespace

void XlsxReader::placeOf(std::string_view reference, qsizetype& row, qsizetype& column)
{
    row = -1;
    column = -1;
    size_t i = 0;
    qsizetype letters = 0;
    for (; i < reference.size() && reference[i] >= 'A' && reference[i] <= 'Z'; ++i) {
        letters = letters * 26 + (reference[i] - 'A' + 1);
        if (letters > ImportTable::MaxColumns)
            letters = ImportTable::MaxColumns + 1;
    }
    qsizetype digits = 0;
    const size_t firstDigit = i;
    for (; i < reference.size() && reference[i] >= '0' && reference[i] <= '9'; ++i) {
        digits = digits * 10 + (reference[i] - '0');
        if (digits > ImportTable::MaxRows)
            digits = ImportTable::MaxRows + 1;
    }
    if (i != reference.size())
        return;
    if (letters > 0)
        column = letters - 1;
    if (i > firstDigit && digits > 0)
        row = digits - 1;
}

QString XlsxReader::dateOf(double serial, bool from1904, DateKind kind)
{
    // Past 9999-12-31 (and NaN) no date is shown, as in a spreadsheet.
    if (!(serial >= 0 && serial < 2958466))
        return QString::number(serial, 'g', 15);
    qint64 days = static_cast<qint64>(serial);
    qint64 seconds = std::llround((serial - double(days)) * 86400);
    if (seconds == 86400) {
        ++days;
        seconds = 0;
    }
    const QString time = QTime(0, 0).addSecs(int(seconds)).toString(QStringLiteral("HH:mm:ss"));
    if (kind == DateKind::Time)
        return time;
    QString date;
    if (from1904)
        date = QDate(1904, 1, 1).addDays(days).toString(QStringLiteral("yyyy-MM-dd"));
    // Day 1 is 1 January 1900, and a spreadsheet counts a 29 February 1900 that never was.
    else if (days == 60)
        date = QStringLiteral("1900-02-29");
    else
        date = QDate(1899, 12, days > 60 ? 30 : 31).addDays(days).toString(QStringLiteral("yyyy-MM-dd"));
    return kind == DateKind::DateTime ? date + QLatin1Char(' ') + time : date;
}

XlsxReader::DateKind XlsxReader::kindOf(const QString& code)
{
    bool quoted = false;
    bool date = false;
    bool time = false;
    bool month = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i].toLower();
        if (code[i] == QLatin1Char('"'))
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (code[i] == QLatin1Char('\\'))
            ++i;
        else if (code[i] == QLatin1Char('[') && code.indexOf(QLatin1Char(']'), i) > i) {
            // [h], [mm] and [ss] count elapsed time; a colour or a locale counts for nothing.
            const qsizetype end = code.indexOf(QLatin1Char(']'), i);
            const QString inside = code.mid(i + 1, end - i - 1).toLower();
            const auto isTimeLetter = [](QChar c) {
                return c == QLatin1Char('h') || c == QLatin1Char('m') || c == QLatin1Char('s');
            };
            time = time || (!inside.isEmpty() && std::all_of(inside.begin(), inside.end(), isTimeLetter));
            i = end;
        } else if (c == QLatin1Char('y') || c == QLatin1Char('d'))
            date = true;
        else if (c == QLatin1Char('h') || c == QLatin1Char('s'))
            time = true;
        else if (c == QLatin1Char('m'))
            month = true;
    }
    date = date || (month && !time);
    return date && time ? DateKind::DateTime : date ? DateKind::Date : time ? DateKind::Time : DateKind::None;
}

QString XlsxReader::unpackedTooLarge(const char* part, qint64 maxBytes)
{
    return QStringLiteral("表格太大: %1 解压后超过 %2 MB").arg(QString::fromUtf8(part)).arg(maxBytes >> 20);
}

bool XlsxReader::read(const QString& path, ImportTable& table)
{
    table = ImportTable();
    const std::unique_ptr<void, int (*)(unzFile)> archive(unzOpen64(QFile::encodeName(path).constData()),
                                                          unzClose);
    unzFile zip = archive.get();
    if (!zip)
        return table.fail(ImportTable::NotATable);
    Book book;
    return readWorkbook(zip, book, table) && readSharedStrings(zip, book, table) &&
           readStyles(zip, book, table) && readSheet(zip, book, table);
}
