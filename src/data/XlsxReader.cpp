#include "data/XlsxReader.h"

#include <QDate>
#include <QFile>
#include <QXmlStreamReader>
#include <memory>
#include <set>
#include <unzip.h>

namespace {

// A part of the workbook as XML, fed to the reader a piece at a time.
class Part
{
public:
    Part(unzFile zip, const QString& name, qint64 maxBytes) : m_zip(zip), m_max(maxBytes)
    {
        // 2: the names of the parts in any case.
        m_open =
            unzLocateFile(zip, name.toUtf8().constData(), 2) == UNZ_OK && unzOpenCurrentFile(zip) == UNZ_OK;
    }
    ~Part()
    {
        if (m_open)
            unzCloseCurrentFile(m_zip);
    }
    bool isOpen() const { return m_open; }
    bool tooLarge() const { return m_tooLarge; }
    QXmlStreamReader& xml() { return m_xml; }

    // The next token; false at the end, on an error or past the bound.
    bool next()
    {
        for (;;) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::Invalid &&
                m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
                QByteArray piece(1 << 16, Qt::Uninitialized);
                const int got = unzReadCurrentFile(m_zip, piece.data(), unsigned(piece.size()));
                if (got <= 0)
                    return false;
                piece.truncate(got);
                m_read += piece.size();
                if (m_read > m_max) {
                    m_tooLarge = true;
                    return false;
                }
                m_xml.addData(piece);
                continue;
            }
            return token != QXmlStreamReader::Invalid && token != QXmlStreamReader::EndDocument;
        }
    }
    bool startOf(const char* name) const
    {
        return m_xml.isStartElement() && m_xml.name() == QLatin1String(name);
    }
    bool endOf(const char* name) const { return m_xml.isEndElement() && m_xml.name() == QLatin1String(name); }
    QString attribute(const char* name) const
    {
        return m_xml.attributes().value(QLatin1String(name)).toString();
    }

private:
    unzFile m_zip;
    QXmlStreamReader m_xml;
    qint64 m_max;
    qint64 m_read = 0;
    bool m_open = false;
    bool m_tooLarge = false;
};

bool fail(ImportTable& table, const char* why)
{
    table.rows.clear();
    table.error = QString::fromUtf8(why);
    return false;
}

// The text of a string item: its <t> pieces, without phonetic runs.
QString itemText(Part& part, const char* end)
{
    QString text;
    int phonetic = 0;
    while (part.next() && !part.endOf(end)) {
        if (part.startOf("rPh"))
            ++phonetic;
        else if (part.endOf("rPh"))
            --phonetic;
        else if (part.startOf("t") && phonetic == 0)
            text += part.xml().readElementText(QXmlStreamReader::IncludeChildElements);
    }
    return text;
}

QString numberText(const QString& value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? QString::number(number, 'g', 15) : value;
}

} // namespace

int XlsxReader::columnOf(const QString& reference)
{
    int column = 0;
    for (const QChar c : reference) {
        if (c < QLatin1Char('A') || c > QLatin1Char('Z'))
            break;
        column = column * 26 + (c.unicode() - 'A' + 1);
        if (column > 16384)
            return -1;
    }
    return column - 1;
}

QString XlsxReader::dateOf(double serial, bool from1904)
{
    const qint64 days = static_cast<qint64>(serial);
    if (serial < 0 || days > 2958465)
        return QString::number(serial, 'g', 15);
    QDate date;
    if (from1904)
        date = QDate(1904, 1, 1).addDays(days);
    // Excel counts a 29 February 1900 that never was.
    else if (days >= 61)
        date = QDate(1899, 12, 30).addDays(days);
    else
        date = QDate(1899, 12, 31).addDays(days - 1);
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

bool XlsxReader::isDateFormat(const QString& code)
{
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i].toLower();
        if (code[i] == QLatin1Char('"'))
            quoted = !quoted;
        else if (code[i] == QLatin1Char('\\'))
            ++i;
        else if (code[i] == QLatin1Char('['))
            i = std::max(i, code.indexOf(QLatin1Char(']'), i));
        else if (!quoted && (c == QLatin1Char('y') || c == QLatin1Char('d') || c == QLatin1Char('m')))
            return true;
        if (i < 0)
            break;
    }
    return false;
}

bool XlsxReader::read(const QString& path, ImportTable& table)
{
    table = ImportTable();
    const std::unique_ptr<void, int (*)(unzFile)> archive(unzOpen64(QFile::encodeName(path).constData()),
                                                          unzClose);
    unzFile zip = archive.get();
    if (!zip)
        return fail(table, ImportTable::NotATable);

    // The first sheet, through the workbook and its relations.
    QString sheetPath = QStringLiteral("xl/worksheets/sheet1.xml");
    bool from1904 = false;
    QString firstSheetId;
    {
        Part workbook(zip, QStringLiteral("xl/workbook.xml"), MaxPartBytes);
        if (!workbook.isOpen())
            return fail(table, ImportTable::NotATable);
        while (workbook.next()) {
            if (workbook.startOf("workbookPr"))
                from1904 = workbook.attribute("date1904") == QLatin1String("1") ||
                           workbook.attribute("date1904") == QLatin1String("true");
            else if (workbook.startOf("sheet") && firstSheetId.isEmpty())
                for (const QXmlStreamAttribute& attribute : workbook.xml().attributes()) {
                    if (attribute.name() == QLatin1String("id"))
                        firstSheetId = attribute.value().toString();
                }
        }
        if (workbook.tooLarge())
            return fail(table, ImportTable::TooLarge);
    }
    if (!firstSheetId.isEmpty()) {
        Part relations(zip, QStringLiteral("xl/_rels/workbook.xml.rels"), MaxPartBytes);
        while (relations.isOpen() && relations.next()) {
            if (relations.startOf("Relationship") && relations.attribute("Id") == firstSheetId) {
                QString target = relations.attribute("Target");
                sheetPath =
                    target.startsWith(QLatin1Char('/')) ? target.mid(1) : QStringLiteral("xl/") + target;
            }
        }
    }

    std::vector<QString> shared;
    {
        Part strings(zip, QStringLiteral("xl/sharedStrings.xml"), MaxPartBytes);
        while (strings.isOpen() && strings.next()) {
            if (strings.startOf("si")) {
                if (qsizetype(shared.size()) >= ImportTable::MaxRows * 64)
                    return fail(table, ImportTable::TooLarge);
                shared.push_back(itemText(strings, "si"));
            }
        }
        if (strings.tooLarge())
            return fail(table, ImportTable::TooLarge);
    }

    // Which cell styles show dates.
    std::vector<bool> dateStyles;
    {
        std::set<int> dateFormats = {14, 15, 16, 17, 18, 19, 20, 21, 22};
        Part styles(zip, QStringLiteral("xl/styles.xml"), MaxPartBytes);
        bool inCellXfs = false;
        while (styles.isOpen() && styles.next()) {
            if (styles.startOf("numFmt") && isDateFormat(styles.attribute("formatCode")))
                dateFormats.insert(styles.attribute("numFmtId").toInt());
            else if (styles.startOf("cellXfs"))
                inCellXfs = true;
            else if (styles.endOf("cellXfs"))
                inCellXfs = false;
            else if (inCellXfs && styles.startOf("xf") && dateStyles.size() < 65536)
                dateStyles.push_back(dateFormats.count(styles.attribute("numFmtId").toInt()) > 0);
        }
    }

    Part sheet(zip, sheetPath, MaxSheetBytes);
    if (!sheet.isOpen())
        return fail(table, ImportTable::NotATable);
    QStringList row;
    bool inRow = false;
    while (sheet.next()) {
        if (sheet.startOf("row")) {
            inRow = true;
            row.clear();
        } else if (sheet.endOf("row")) {
            inRow = false;
            if (qsizetype(table.rows.size()) >= ImportTable::MaxRows)
                return fail(table, ImportTable::TooLarge);
            table.rows.push_back(row);
        } else if (inRow && sheet.startOf("c")) {
            const QString reference = sheet.attribute("r");
            const QString type = sheet.attribute("t");
            const int style = sheet.attribute("s").toInt();
            int column = reference.isEmpty() ? int(row.size()) : columnOf(reference);
            if (column < 0)
                column = int(row.size());
            QString value;
            QString inlineText;
            while (sheet.next() && !sheet.endOf("c")) {
                if (sheet.startOf("v"))
                    value = sheet.xml().readElementText();
                else if (sheet.startOf("is"))
                    inlineText = itemText(sheet, "is");
            }
            QString shown;
            if (type == QLatin1String("s")) {
                const qsizetype index = value.toLongLong();
                shown = index >= 0 && index < qsizetype(shared.size()) ? shared[size_t(index)] : QString();
            } else if (type == QLatin1String("inlineStr")) {
                shown = inlineText;
            } else if (type == QLatin1String("b")) {
                shown = value == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            } else if (type == QLatin1String("str") || type == QLatin1String("e")) {
                shown = value;
            } else if (!value.isEmpty() && style >= 0 && size_t(style) < dateStyles.size() &&
                       dateStyles[size_t(style)]) {
                shown = dateOf(value.toDouble(), from1904);
            } else {
                shown = numberText(value);
            }
            while (row.size() < column)
                row << QString();
            if (row.size() == column)
                row << shown;
            else
                row[column] = shown;
        }
    }
    if (sheet.tooLarge())
        return fail(table, ImportTable::TooLarge);
    if (sheet.xml().hasError() && sheet.xml().error() != QXmlStreamReader::PrematureEndOfDocumentError)
        return fail(table, ImportTable::NotATable);
    return true;
}
