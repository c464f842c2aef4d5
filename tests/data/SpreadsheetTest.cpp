#include "app/DrawSession.h"
#include "data/CsvReader.h"
#include "data/ImportTable.h"
#include "data/WinnersTable.h"
#include "data/XlsxReader.h"
#include "platform/CodePage.h"
#include "support/TestEvent.h"
#include "support/Workbooks.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <xlsxwriter.h>

namespace {

using Rows = std::vector<QStringList>;

const QByteArray Relations =
    R"(<Relationships><Relationship Id="rId7" Target="worksheets/people.xml"/></Relationships>)";

QByteArray utf16(const char16_t* text, bool bigEndian)
{
    QByteArray bytes;
    for (; *text; ++text) {
        const char high = char(*text >> 8);
        const char low = char(*text & 0xFF);
        bytes += bigEndian ? QByteArray{&high, 1} + low : QByteArray{&low, 1} + high;
    }
    return bytes;
}

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
        {"a spreadsheet's Unicode text: UTF-16 with its mark, tabs",
         QByteArray("\xFF\xFE") + utf16(u"工号\t姓名\r\nA1\t\"张\t伟\"\r\n", false),
         {{"工号", "姓名"}, {"A1", "张\t伟"}}},
        {"UTF-16 big-endian with its mark, commas",
         QByteArray("\xFE\xFF") + utf16(u"A1,张伟,𠀀\n", true),
         {{"A1", "张伟", "𠀀"}}},
    };
    for (const auto& c : cases) {
        ImportTable table;
        ASSERT_TRUE(CsvReader::parse(c.bytes, table)) << c.what;
        EXPECT_EQ(table.rows, c.rows) << c.what;
    }

    // Refused with the reason, the rest of the file not swallowed into one name.
    const struct
    {
        QByteArray bytes;
        QString error;
    } refused[] = {
        {QByteArray("PNG\0\x01", 5), ImportTable::NotATable},
        {QByteArray("a\n").repeated(ImportTable::MaxRows + 1), ImportTable::TooLarge},
        {"A1,张伟\nA2,\"李娜\nA3,王芳\n" + QByteArray("A4,赵敏\r\n").repeated(1000),
         CsvReader::unclosedQuote(2)},
        {"a" + QByteArray(",").repeated(ImportTable::MaxColumns) + "\n", ImportTable::TooWide},
        {"A1," + QByteArray(ImportTable::MaxCellChars + 1, 'x'), ImportTable::CellTooLong},
    };
    for (const auto& c : refused) {
        ImportTable table;
        EXPECT_FALSE(CsvReader::parse(c.bytes, table)) << c.error.toStdString();
        EXPECT_EQ(table.error, c.error);
        EXPECT_TRUE(table.rows.empty());
    }
    ImportTable table;
    EXPECT_TRUE(CsvReader::parse(QByteArray("a\n").repeated(ImportTable::MaxRows), table));
}

// A file decoded a piece at a time reads as if it were decoded whole, in
// every encoding, wherever a character or a CR LF meets a piece's end.
TEST(ImportTable, BigCsvFilesComeBackExactInEveryEncoding)
{
    QString text;
    Rows expected;
    for (int i = 0; text.size() < (3 << 20); ++i) {
        const QString name = QStringLiteral("张伟丽").left(1 + i % 3) + QString::number(i);
        text += QStringLiteral("A%1,\"%2\",研发部\r\n").arg(i).arg(name);
        expected.push_back({QStringLiteral("A%1").arg(i), name, QStringLiteral("研发部")});
    }
    const std::wstring wide = text.toStdWString();
    for (const TextEncoding encoding :
         {TextEncoding::Ansi, TextEncoding::Utf8, TextEncoding::Utf16Le, TextEncoding::Utf16Be}) {
        const std::string bytes = CodePage::byteOrderMark(encoding) + CodePage::encode(wide, encoding);
        ImportTable table;
        ASSERT_TRUE(CsvReader::parse(QByteArray::fromStdString(bytes), table));
        EXPECT_TRUE(table.rows == expected) << int(encoding);
    }
}

TEST(ImportTable, ReadsTheFirstSheetOfAWorkbookAsItsCellsShow)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("people.xlsx");
    const QByteArray strings =
        R"(<sst><si><t>工号</t></si><si><r><t>张</t></r><r><t>伟</t></r><rPh><t>ちょう</t></rPh></si><si><t>市场部</t></si></sst>)";
    const QByteArray styles = R"(<styleSheet><numFmts><numFmt numFmtId="164" formatCode="yyyy/mm/dd"/>
<numFmt numFmtId="165" formatCode="0.00&quot;d&quot;"/></numFmts>
<cellXfs><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/><xf numFmtId="165"/></cellXfs></styleSheet>)";
    // A cell longer than a piece the reader unpacks at a time comes back whole.
    const QString longest(ImportTable::MaxCellChars, QChar(0x5F20));
    const QByteArray sheet = R"(<worksheet><sheetData>
<row r="1"><c r="A1" t="s"><v>0</v></c><c r="C1" t="inlineStr"><is><t>部门</t></is></c></row>
<row r="2"><c r="A2"><v>1023</v></c><c r="B2" t="s"><v>1</v></c><c r="C2" t="str"><f>"研发"&amp;"部"</f><v>研发部</v></c></row>
<row r="3"><c r="A3" s="1"><v>45000</v></c><c r="B3" s="2"><v>45291</v></c><c r="C3" s="3"><v>3.5</v></c><c r="D3"><f>1+1</f><v>2</v></c><c r="E3" t="b"><v>1</v></c></row>
<row r="5"><c r="A5" t="d"><v>2024-03-01T08:00:00</v></c><c r="B5" s="1"><v>1e300</v></c><c r="C5" t="s"><v></v></c><c t="inlineStr"><is><t>)" +
                             longest.toUtf8() + R"(</t></is></c></row>
<row><c r="A6"><v>7</v></c><c r="C6" t="s"><v>2</v></c></row><row r="7"><c r="A7"><v>8</v></c></row>
</sheetData><mergeCells count="2"><mergeCell ref="C6:C8"/><mergeCell ref="A6:B6"/></mergeCells></worksheet>)";
    Workbooks::zip(path, {{"xl/workbook.xml", Workbooks::Workbook},
                          {"xl/_rels/workbook.xml.rels", Relations},
                          {"xl/sharedStrings.xml", strings},
                          {"xl/styles.xml", styles},
                          {"xl/worksheets/people.xml", sheet}});
    ImportTable table;
    ASSERT_TRUE(ImportTable::read(path, table)) << table.error.toStdString();
    // Type d is a date, a date-styled number no date can have stays a number,
    // an empty index is no string, rows stand where their numbers put them,
    // and a merge's value counts for every row and column it covers.
    EXPECT_EQ(table.rows, (Rows{{"工号", "", "部门"},
                                {"1023", "张伟", "研发部"},
                                {"2023-03-15", "2023-12-31", "3.5", "2", "TRUE"},
                                {},
                                {"2024-03-01", "1e+300", "", longest},
                                {"7", "7", "市场部"},
                                {"8", "", "市场部"}}));

    // Our own winners table comes back as written, through its shared strings.
    const std::vector<WinnerRow> winners = {
        {1, "一等奖", "平板电脑", "A1023 张伟 研发部", "2026-12-10 20:00:00", "ABCD", ""},
        {0, "一等奖", "平板电脑", "A1 李娜", "", "", "缺席"}};
    ASSERT_TRUE(WinnersTable::writeXlsx(dir.filePath("winners.xlsx"), winners));
    ASSERT_TRUE(ImportTable::read(dir.filePath("winners.xlsx"), table));
    EXPECT_EQ(table.rows, (Rows{WinnersTable::headings({"字段1", "字段2", "字段3"}),
                                {"1", "一等奖", "平板电脑", "A1023 张伟 研发部", "A1023", "张伟", "研发部",
                                 "2026-12-10 20:00:00", "ABCD"},
                                {"", "一等奖", "平板电脑", "A1 李娜", "A1", "李娜", "", "", "", "缺席"}}));
    EXPECT_EQ(table.names({3}, true).names, (QStringList{"A1023 张伟 研发部", "A1 李娜"}));
}

// Small files made to hang or exhaust the reader: each is answered at once,
// with the bound it met; comments, CDATA and instructions cost their length.
TEST(ImportTable, HostileWorkbooksAreAnsweredWithTheBoundTheyMeet)
{
    QTemporaryDir dir;
    for (const Workbooks::Hostile& c : Workbooks::hostile()) {
        const QString path = dir.filePath("hostile.xlsx");
        QFile::remove(path);
        ASSERT_TRUE(c.write(path));
        ImportTable table;
        EXPECT_EQ(ImportTable::read(path, table), c.error.isEmpty()) << c.what;
        EXPECT_EQ(table.error, c.error) << c.what;
        if (c.error.isEmpty())
            EXPECT_EQ(table.rows, (Rows{{"张伟"}})) << c.what;
        else
            EXPECT_TRUE(table.rows.empty()) << c.what;
    }
}

TEST(ImportTable, RefusesWhatIsNoSpreadsheet)
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
    Workbooks::zip(dir.filePath("other.xlsx"), {{"word/document.xml", "<document/>"}});
    refused("other.xlsx", ImportTable::NotATable);
    writeFile(dir.filePath("cut.xlsx"), "PK\x03\x04 cut short");
    refused("cut.xlsx", ImportTable::NotATable);
    Workbooks::zip(dir.filePath("torn.xlsx"), {{"xl/workbook.xml", Workbooks::Workbook},
                                               {"xl/worksheets/sheet1.xml", "<worksheet><sheetData><row>"}});
    refused("torn.xlsx", ImportTable::NotATable);
    refused("missing.csv", ImportTable::NotATable);
}

// A list as spreadsheet programs write it, the names as shared strings:
// every cell comes back exact, wherever the pieces of unpacked XML end.
TEST(ImportTable, EveryNameOfABigWorkbookComesBackExact)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("hr.xlsx");
    const QString surnames =
        QStringLiteral("赵钱孙李周吴郑王冯陈褚卫蒋沈韩杨朱秦尤许何吕施张孔曹严华金魏陶姜");
    Rows expected{{"工号", "姓名", "部门"}};
    lxw_workbook* workbook = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    for (int c = 0; c < 3; ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), expected[0][c].toUtf8().constData(), nullptr);
    for (int i = 1; i <= 200000; ++i) {
        // Names of one to nine characters, so that every kind of cell meets a piece's end somewhere.
        QString name;
        for (int k = 0; k <= i % 9; ++k)
            name += surnames[(i * 7 + k * 13) % surnames.size()];
        const QString department = QStringLiteral("部门%1").arg(i % 37);
        worksheet_write_number(sheet, lxw_row_t(i), 0, 100000 + i, nullptr);
        worksheet_write_string(sheet, lxw_row_t(i), 1, name.toUtf8().constData(), nullptr);
        worksheet_write_string(sheet, lxw_row_t(i), 2, department.toUtf8().constData(), nullptr);
        expected.push_back({QString::number(100000 + i), name, department});
    }
    ASSERT_EQ(workbook_close(workbook), LXW_NO_ERROR);
    ImportTable table;
    ASSERT_TRUE(ImportTable::read(path, table)) << table.error.toStdString();
    ASSERT_EQ(table.rows.size(), expected.size());
    qsizetype wrong = 0;
    for (size_t r = 0; r < expected.size(); ++r)
        wrong += table.rows[r] != expected[r];
    EXPECT_EQ(wrong, 0);
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
    TestFolder folder;
    TestEvent::make(folder, 10, {3, 2});
    // Every name of three fields, one with a quote and a comma to be quoted,
    // under the headings an import kept.
    folder.write("data.txt", "A1 张伟 研发部\r\nA2 李娜 市场部\r\nA3 \"王\", 部\r\nA4 赵 部\r\nA5 钱 部\r\n");
    folder.write("AwardInfo.ini",
                 folder.read("AwardInfo.ini") + "[Participants]\r\nFields=工号 姓名 时间\r\n");
    DrawSession session(folder.event());
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
    const QStringList fields{"工号", "姓名", "时间"};
    EXPECT_EQ(csv, WinnersTable::csv(rows, fields));
    EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(csv.substr(3, csv.find("\r\n") - 3), "序号,奖项,奖品,中奖人,工号,姓名,时间,时间,记录,备注");
    ImportTable table;
    ASSERT_TRUE(ImportTable::read(folder.filePath("Result.xlsx"), table));
    ASSERT_EQ(table.rows.size(), 5u);
    EXPECT_EQ(table.rows[1][7], rows[0].time) << "a date-time cell";
    EXPECT_FALSE(QFile::exists(folder.filePath("Result.xlsx.tmp")));
    // The heading row frozen with a filter on it, each column as wide as its text.
    const QByteArray sheet = Workbooks::partOf(folder.filePath("Result.xlsx"), "xl/worksheets/sheet1.xml");
    EXPECT_TRUE(
        sheet.contains(R"(<pane ySplit="1" topLeftCell="A2" activePane="bottomLeft" state="frozen"/>)"));
    EXPECT_TRUE(sheet.contains(R"(<autoFilter ref="A1:J5"/>)"));
    // 中奖人: "A1 张伟 研发部" takes 14 places, and two to spare.
    EXPECT_TRUE(sheet.contains(R"(<col min="4" max="4" width="16.7109375" customWidth="1"/>)"));

    // A kill before the table was written leaves it behind: the restart
    // rebuilds it from the journal and the store.
    folder.write("Result.csv", WinnersTable::csv({}, fields));
    QFile::remove(folder.filePath("Result.xlsx"));
    DrawSession again(folder.event());
    again.open(1920, 1080);
    const std::vector<WinnerRow> recalled = again.winnerRows();
    EXPECT_EQ(WinnersTable::csv(recalled, fields), csv)
        << "a restart keeps the times, fingerprints and absent winners";
    again.close();
    EXPECT_EQ(folder.read("Result.csv"), csv);
    EXPECT_TRUE(QFile::exists(folder.filePath("Result.xlsx")));
    again.open(1920, 1080);
    again.restart("redraw");
    again.close();
    EXPECT_EQ(folder.read("Result.csv"), WinnersTable::csv({}, fields));
}

// The list's own headings while no name has more fields than they name.
TEST(WinnersTable, FieldsTakeTheListsHeadingsWhereTheyFit)
{
    const QStringList names{"工号", "姓名", "部门"};
    const auto of = [](std::initializer_list<const char*> people) {
        std::vector<WinnerRow> rows;
        for (const char* name : people)
            rows.push_back(WinnerRow{1, "奖", "品", QString::fromUtf8(name), {}, {}, {}});
        return rows;
    };
    EXPECT_EQ(WinnersTable::fieldHeadings(of({"A1 张伟 研发部", "A2 李娜"}), names), names);
    EXPECT_EQ(WinnersTable::fieldHeadings(of({}), names), names);
    EXPECT_EQ(WinnersTable::fieldHeadings(of({"A1 张伟 研发 一部"}), names),
              (QStringList{"字段1", "字段2", "字段3", "字段4"}));
    EXPECT_EQ(WinnersTable::fieldHeadings(of({"A1 张伟"}), {}), (QStringList{"字段1", "字段2"}));
}

TEST(ImportTable, DateSerialsShowWhatTheirFormatShows)
{
    using Kind = XlsxReader::DateKind;
    const struct
    {
        double serial;
        bool from1904;
        Kind kind;
        const char* shown;
    } cases[] = {
        {1, false, Kind::Date, "1900-01-01"},
        {59, false, Kind::Date, "1900-02-28"},
        {60, false, Kind::Date, "1900-02-29"},
        {61, false, Kind::Date, "1900-03-01"},
        {45291.75, false, Kind::Date, "2023-12-31"},
        {45291.75, false, Kind::DateTime, "2023-12-31 18:00:00"},
        {45291.9999999, false, Kind::DateTime, "2024-01-01 00:00:00"},
        {0.5, false, Kind::Time, "12:00:00"},
        {2958465, false, Kind::Date, "9999-12-31"},
        {2958466, false, Kind::Date, "2958466"},
        {-1, false, Kind::Date, "-1"},
        {1e300, false, Kind::Date, "1e+300"},
        {0, true, Kind::Date, "1904-01-01"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(XlsxReader::dateOf(c.serial, c.from1904, c.kind), c.shown) << c.serial;
    const struct
    {
        const char* code;
        Kind kind;
    } formats[] = {
        {"yyyy/mm/dd", Kind::Date}, {"mmm", Kind::Date},         {"yyyy-mm-dd hh:mm:ss", Kind::DateTime},
        {"h:mm AM/PM", Kind::Time}, {"mm:ss", Kind::Time},       {"[h]:mm", Kind::Time},
        {"0.00\"d\"", Kind::None},  {"[$-804]0.00", Kind::None}, {"General", Kind::None},
        {"\\d0", Kind::None},
    };
    for (const auto& f : formats)
        EXPECT_EQ(XlsxReader::kindOf(QString::fromUtf8(f.code)), f.kind) << f.code;
}
