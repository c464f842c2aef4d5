#include "app/DrawSession.h"
#include "data/CsvReader.h"
#include "data/ImportTable.h"
#include "data/WinnersTable.h"
#include "data/XlsxReader.h"
#include "support/TestEvent.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zip.h>

namespace {

using Rows = std::vector<QStringList>;

// A workbook put together part by part, as spreadsheet programs other than ours write them.
void zipParts(const QString& path, const std::vector<std::pair<QString, QByteArray>>& parts)
{
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    ASSERT_TRUE(zip);
    for (const auto& [name, bytes] : parts) {
        zip_fileinfo info{};
        ASSERT_EQ(zipOpenNewFileInZip64(zip, name.toUtf8().constData(), &info, nullptr, 0, nullptr, 0,
                                        nullptr, Z_DEFLATED, 1, 1),
                  ZIP_OK);
        zipWriteInFileInZip(zip, bytes.constData(), unsigned(bytes.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
}

const QByteArray Workbook =
    R"(<workbook xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets><sheet name="名单" sheetId="1" r:id="rId7"/></sheets></workbook>)";
const QByteArray Relations =
    R"(<Relationships><Relationship Id="rId7" Target="worksheets/people.xml"/></Relationships>)";

} // namespace

TEST(ImportTable, ReadsCsvAsSpreadsheetProgramsWriteIt)
{
    const struct
    {
        const char* what;
        QByteArray bytes;
        Rows rows;
    } cases[] = {
        {"UTF-8 with its mark, CR LF",
         "\xEF\xBB\xBF工号,姓名\r\nA1,张伟\r\n",
         {{"工号", "姓名"}, {"A1", "张伟"}}},
        {"code page 936", "A1,\xD5\xC5\xCE\xB0\n", {{"A1", "张伟"}}},
        {"semicolons", "A1;张伟;研发部\n", {{"A1", "张伟", "研发部"}}},
        {"tabs", "A1\t张伟, 李\n", {{"A1", "张伟, 李"}}},
        {"quotes around separators, quotes and line breaks",
         "\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\"\n",
         {{"a,b", "say \"hi\"", "two\nlines"}}},
        {"no line feed at the end, an empty row", "a\n\nb", {{"a"}, {""}, {"b"}}},
    };
    for (const auto& c : cases) {
        ImportTable table;
        ASSERT_TRUE(CsvReader::parse(c.bytes, table)) << c.what;
        EXPECT_EQ(table.rows, c.rows) << c.what;
    }
    ImportTable table;
    EXPECT_FALSE(CsvReader::parse(QByteArray("PNG\0\x01", 5), table));
    EXPECT_EQ(table.error, ImportTable::NotATable);
    EXPECT_FALSE(CsvReader::parse(QByteArray("a\n").repeated(ImportTable::MaxRows + 1), table));
    EXPECT_EQ(table.error, ImportTable::TooLarge);
    EXPECT_TRUE(CsvReader::parse(QByteArray("a\n").repeated(ImportTable::MaxRows), table));
}

TEST(ImportTable, ReadsTheFirstSheetOfAWorkbookAsItsCellsShow)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("people.xlsx");
    const QByteArray strings =
        R"(<sst><si><t>工号</t></si><si><r><t>张</t></r><r><t>伟</t></r><rPh><t>ちょう</t></rPh></si></sst>)";
    const QByteArray styles = R"(<styleSheet><numFmts><numFmt numFmtId="164" formatCode="yyyy/mm/dd"/>
<numFmt numFmtId="165" formatCode="0.00&quot;d&quot;"/></numFmts>
<cellXfs><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/><xf numFmtId="165"/></cellXfs></styleSheet>)";
    const QByteArray sheet = R"(<worksheet><sheetData>
<row r="1"><c r="A1" t="s"><v>0</v></c><c r="C1" t="inlineStr"><is><t>部门</t></is></c></row>
<row r="2"><c r="A2"><v>1023</v></c><c r="B2" t="s"><v>1</v></c><c r="C2" t="str"><f>"研发"&amp;"部"</f><v>研发部</v></c></row>
<row r="3"><c r="A3" s="1"><v>45000</v></c><c r="B3" s="2"><v>45291</v></c><c r="C3" s="3"><v>3.5</v></c><c r="D3"><f>1+1</f><v>2</v></c><c r="E3" t="b"><v>1</v></c></row>
</sheetData></worksheet>)";
    zipParts(path, {{"xl/workbook.xml", Workbook},
                    {"xl/_rels/workbook.xml.rels", Relations},
                    {"xl/sharedStrings.xml", strings},
                    {"xl/styles.xml", styles},
                    {"xl/worksheets/people.xml", sheet}});
    ImportTable table;
    ASSERT_TRUE(ImportTable::read(path, table)) << table.error.toStdString();
    EXPECT_EQ(table.rows, (Rows{{"工号", "", "部门"},
                                {"1023", "张伟", "研发部"},
                                {"2023-03-15", "2023-12-31", "3.5", "2", "TRUE"}}));

    // Our own winners table comes back as written, through its shared strings.
    const std::vector<WinnerRow> winners = {
        {1, "一等奖", "平板电脑", "A1023 张伟 研发部", "2026-12-10 20:00:00", "ABCD", ""},
        {0, "一等奖", "平板电脑", "A1 李娜", "", "", "缺席"}};
    ASSERT_TRUE(WinnersTable::writeXlsx(dir.filePath("winners.xlsx"), winners));
    ASSERT_TRUE(ImportTable::read(dir.filePath("winners.xlsx"), table));
    EXPECT_EQ(table.rows, (Rows{WinnersTable::headings(3),
                                {"1", "一等奖", "平板电脑", "A1023 张伟 研发部", "A1023", "张伟", "研发部",
                                 "2026-12-10 20:00:00", "ABCD"},
                                {"", "一等奖", "平板电脑", "A1 李娜", "A1", "李娜", "", "", "", "缺席"}}));
    EXPECT_EQ(table.names({3}, true).names, (QStringList{"A1023 张伟 研发部", "A1 李娜"}));
}

TEST(ImportTable, RefusesWhatIsNoSpreadsheetAndBombsWithoutHanging)
{
    QTemporaryDir dir;
    const auto refused = [&dir](const char* name, const char* error) {
        ImportTable table;
        EXPECT_FALSE(ImportTable::read(dir.filePath(name), table)) << name;
        EXPECT_EQ(table.error, error) << name;
        EXPECT_TRUE(table.rows.empty());
    };
    writeFile(dir.filePath("picture.xlsx"), std::string("\x89PNG\r\n\x1a\n\0\0", 10));
    refused("picture.xlsx", ImportTable::NotATable);
    zipParts(dir.filePath("other.xlsx"), {{"word/document.xml", "<document/>"}});
    refused("other.xlsx", ImportTable::NotATable);
    writeFile(dir.filePath("cut.xlsx"), "PK\x03\x04 cut short");
    refused("cut.xlsx", ImportTable::NotATable);
    refused("missing.csv", ImportTable::NotATable);
    // A few hundred kilobytes that unpack to more than any sheet's strings may hold.
    zipParts(dir.filePath("bomb.xlsx"),
             {{"xl/workbook.xml", Workbook},
              {"xl/sharedStrings.xml", QByteArray(XlsxReader::MaxPartBytes + 1, ' ')},
              {"xl/worksheets/sheet1.xml", "<worksheet/>"}});
    refused("bomb.xlsx", ImportTable::TooLarge);
}

TEST(ImportTable, NamesJoinTheChosenColumnsAndSkipEmptyRows)
{
    ImportTable table;
    table.rows = {{"工号", "姓名", "部门"}, {"A1", " 张伟 ", "研发部"}, {"", "", ""}, {"A2", "李\n娜"}, {}};
    const struct
    {
        std::vector<int> columns;
        bool header;
        QStringList names;
        qsizetype skipped;
    } cases[] = {
        {{}, true, {"A1 张伟 研发部", "A2 李 娜"}, 2},
        {{1}, true, {"张伟", "李 娜"}, 2},
        {{2, 0}, false, {"部门 工号", "研发部 A1", "A2"}, 2},
        {{7}, false, {}, 5},
    };
    for (const auto& c : cases) {
        const ImportTable::Names names = table.names(c.columns, c.header);
        EXPECT_EQ(names.names, c.names);
        EXPECT_EQ(names.skipped, c.skipped);
    }
}

// The prize desk's table follows every stop and replacement, and a redraw empties it.
TEST(WinnersTable, ListsEveryWinnerWithTheFieldsOfTheNameAndTheAbsentOnes)
{
    EventFolder folder;
    TestEvent::make(folder, 10, {3, 2});
    // Every name of three fields, one with a quote and a comma to be quoted.
    writeFile("data.txt", "A1 张伟 研发部\r\nA2 李娜 市场部\r\nA3 \"王\", 部\r\nA4 赵 部\r\nA5 钱 部\r\n");
    DrawSession session;
    session.open(1920, 1080);
    session.start();
    session.stop();
    const tstring absent = session.engine().award(0).winners[1];
    session.replace(1);
    session.close();
    const std::vector<WinnerRow> rows = session.winnerRows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1].note, "补抽");
    EXPECT_EQ(rows[3].name.toStdWString(), absent);
    EXPECT_EQ(rows[3].note, "缺席");
    EXPECT_EQ(rows[3].number, 0);
    EXPECT_EQ(rows[2].number, 3);
    EXPECT_EQ(rows[0].fingerprint.size(), 19);
    const std::string csv = folder.read("Result.csv");
    EXPECT_EQ(csv, WinnersTable::csv(rows));
    EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(csv.substr(3, csv.find("\r\n") - 3), "序号,奖项,奖品,中奖人,字段1,字段2,字段3,时间,记录,备注");
    ImportTable table;
    ASSERT_TRUE(ImportTable::read(folder.filePath("Result.xlsx"), table));
    EXPECT_EQ(table.rows.size(), 5u);
    EXPECT_FALSE(QFile::exists(folder.filePath("Result.xlsx.tmp")));

    DrawSession again;
    again.open(1920, 1080);
    const std::vector<WinnerRow> recalled = again.winnerRows();
    EXPECT_EQ(WinnersTable::csv(recalled), csv)
        << "a restart keeps the times, fingerprints and absent winners";
    again.restart("redraw");
    again.close();
    EXPECT_EQ(folder.read("Result.csv"), WinnersTable::csv({}));
}
