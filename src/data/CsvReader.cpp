#include "data/CsvReader.h"

#include "platform/CodePage.h"

#include <string_view>

QChar CsvReader::separatorOf(const QString& text)
{
    int commas = 0;
    int semicolons = 0;
    int tabs = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
        else if (!quoted && c == QLatin1Char(';'))
            ++semicolons;
        else if (!quoted && c == QLatin1Char('\t'))
            ++tabs;
    }
    // A tab or a semicolon is rarely a name's own; a comma may be.
    if (tabs > 0 && tabs >= commas && tabs >= semicolons)
        return QLatin1Char('\t');
    if (semicolons > 0 && semicolons >= commas)
        return QLatin1Char(';');
    return QLatin1Char(',');
}

bool CsvReader::parse(const QByteArray& bytes, ImportTable& table)
{
    table = ImportTable();
    if (bytes.contains('\0')) {
        table.error = QString::fromUtf8(ImportTable::NotATable);
        return false;
    }
    std::string_view view(bytes.constData(), static_cast<size_t>(bytes.size()));
    const TextEncoding encoding = CodePage::detect(view);
    if (encoding == TextEncoding::Utf8Bom)
        view.remove_prefix(3);
    const QString text = QString::fromStdWString(
        CodePage::decode(view, encoding == TextEncoding::Ansi ? TextEncoding::Ansi : TextEncoding::Utf8));
    const QChar separator = separatorOf(text);
    QStringList row;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    const auto endRow = [&] {
        row << field;
        field.clear();
        fieldStarted = false;
        table.rows.push_back(std::move(row));
        row = QStringList();
        return qsizetype(table.rows.size()) <= ImportTable::MaxRows;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"') && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
        } else if (c == separator) {
            row << field;
            field.clear();
            fieldStarted = false;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            if (!endRow()) {
                table.error = QString::fromUtf8(ImportTable::TooLarge);
                return false;
            }
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if ((!field.isEmpty() || !row.isEmpty() || quoted) && !endRow()) {
        table.error = QString::fromUtf8(ImportTable::TooLarge);
        return false;
    }
    return true;
}
