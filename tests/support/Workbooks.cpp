#include "support/Workbooks.h"

#include "data/ImportTable.h"
#include "data/XlsxReader.h"

#include <QFile>
#include <functional>
#include <unzip.h>
#include <zip.h>

namespace Workbooks {

const QByteArray Workbook =
    R"(<workbook xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets><sheet name="名单" sheetId="1" r:id="rId7"/></sheets></workbook>)";

bool zip(const QString& path, const std::vector<Part>& parts)
{
    zipFile archive = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!archive)
        return false;
    bool written = true;
    for (const Part& part : parts) {
        if (part.pieces.isEmpty())
            continue;
        zip_fileinfo info{};
        written = written && zipOpenNewFileInZip64(archive, part.name.toUtf8().constData(), &info, nullptr, 0,
                                                   nullptr, 0, nullptr, Z_DEFLATED, 1, 1) == ZIP_OK;
        for (const QByteArray& piece : part.pieces)
            written =
                written && zipWriteInFileInZip(archive, piece.constData(), unsigned(piece.size())) == ZIP_OK;
        zipCloseFileInZip(archive);
    }
    return zipClose(archive, nullptr) == ZIP_OK && written;
}

QByteArray partOf(const QString& path, const char* name)
{
    unzFile archive = unzOpen64(QFile::encodeName(path).constData());
    QByteArray bytes;
    if (archive && unzLocateFile(archive, name, 0) == UNZ_OK && unzOpenCurrentFile(archive) == UNZ_OK) {
        char piece[4096];
        for (int got; (got = unzReadCurrentFile(archive, piece, sizeof piece)) > 0;)
            bytes.append(piece, got);
        unzCloseCurrentFile(archive);
    }
    unzClose(archive);
    return bytes;
}

bool Hostile::write(const QString& path) const
{
    return zip(path, {{"xl/workbook.xml", Workbook},
                      {"xl/sharedStrings.xml", strings},
                      {"xl/worksheets/sheet1.xml", sheet}});
}

namespace {

QByteArrayList sheetOf(const QByteArray& rows, const QByteArray& after = QByteArray())
{
    return {"<worksheet><sheetData>" + rows + "</sheetData>" + after + "</worksheet>"};
}

QByteArray repeated(int times, const std::function<QByteArray(int)>& piece)
{
    QByteArray out;
    for (int i = 1; i <= times; ++i)
        out += piece(i);
    return out;
}

} // namespace

std::vector<Hostile> hostile()
{
    const QByteArray row1 = R"(<row r="1"><c r="A1" t="inlineStr"><is><t>张伟</t></is></c></row>)";
    const QByteArray tooLong(ImportTable::MaxCellChars + 1, 'x');
    const QByteArray megabyte(1 << 20, 'x');
    return {
        {"a cell in the last column of every row",
         {},
         sheetOf(repeated(3000,
                          [](int r) {
                              return QByteArray(R"(<row><c r="XFD%1"><v>1</v></c></row>)")
                                  .replace("%1", QByteArray::number(r));
                          })),
         ImportTable::TooManyCells},
        {"one long shared string in a million cells",
         {"<sst><si><t>" + QString(30000, QChar(0x5F20)).toUtf8() + "</t></si></sst>"},
         sheetOf(repeated(100000,
                          [](int) {
                              return QByteArray("<row>") +
                                     QByteArray(R"(<c t="s"><v>0</v></c>)").repeated(10) + "</row>";
                          })),
         ImportTable::TooMuchText},
        {"cells without a place past the last column",
         {},
         sheetOf("<row>" + QByteArray("<c><v>1</v></c>").repeated(ImportTable::MaxColumns + 1) + "</row>"),
         ImportTable::TooWide},
        {"a row past the last",
         {},
         sheetOf(R"(<row r="1048577"><c><v>1</v></c></row>)"),
         ImportTable::TooLarge},
        {"a cell longer than a spreadsheet's",
         {},
         sheetOf(R"(<row><c t="inlineStr"><is><t>)" + tooLong + "</t></is></c></row>"),
         ImportTable::CellTooLong},
        {"a value longer than a spreadsheet's",
         {},
         sheetOf("<row><c t=\"str\"><v>" + tooLong + "</v></c></row>"),
         ImportTable::CellTooLong},
        {"a shared string longer than a spreadsheet's",
         {"<sst><si><t>" + tooLong + "</t></si></sst>"},
         sheetOf(row1),
         ImportTable::CellTooLong},
        {"the same merge over and over",
         {},
         sheetOf(R"(<row><c r="CV1"><v>1</v></c></row>)" +
                     repeated(999, [](int) { return QByteArray("<row><c><v>1</v></c></row>"); }),
                 "<mergeCells>" + QByteArray(R"(<mergeCell ref="A1:CV1000"/>)").repeated(100) +
                     "</mergeCells>"),
         ImportTable::TooManyCells},
        {"a document type that could expand entities",
         {},
         {R"(<!DOCTYPE worksheet [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;">]><worksheet><sheetData><row><c t="str"><v>&b;</v></c></row></sheetData></worksheet>)"},
         ImportTable::NotATable},
        {"strings that unpack past their bound",
         QByteArrayList(XlsxReader::MaxPartBytes / megabyte.size() + 1, megabyte), sheetOf(row1),
         XlsxReader::unpackedTooLarge("xl/sharedStrings.xml", XlsxReader::MaxPartBytes)},
        {"a long comment, instruction and CDATA between rows",
         {},
         QByteArrayList{"<worksheet><sheetData><!--"} + QByteArrayList(32, megabyte) +
             QByteArrayList{"-->", row1, "<?x ", megabyte, "?><![CDATA[", megabyte,
                            "]]></sheetData></worksheet>"},
         {}},
    };
}

} // namespace Workbooks
