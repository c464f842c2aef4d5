// The lists HR hands over, the ranges and the prize desk's table, at event size.
#include "app/DrawEngine.h"
#include "app/DrawScope.h"
#include "data/ImportTable.h"
#include "data/WinnersTable.h"
#include "support/Workbooks.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

namespace {

const char* const Departments[] = {"研发部", "市场部", "财务部", "管理层"};

QString personOf(int i)
{
    return QStringLiteral("A%1,员工%2,%3").arg(i).arg(i % 9973).arg(QString::fromUtf8(Departments[i % 4]));
}

void ImportXlsx(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("hr.xlsx");
    lxw_workbook* workbook = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, nullptr);
    worksheet_write_string(sheet, 0, 0, "工号", nullptr);
    worksheet_write_string(sheet, 0, 1, "姓名", nullptr);
    worksheet_write_string(sheet, 0, 2, "部门", nullptr);
    for (int i = 0; i < state.range(0); ++i) {
        const QStringList cells = personOf(i).split(',');
        worksheet_write_number(sheet, lxw_row_t(i + 1), 0, i, nullptr);
        worksheet_write_string(sheet, lxw_row_t(i + 1), 1, cells[1].toUtf8().constData(), nullptr);
        worksheet_write_string(sheet, lxw_row_t(i + 1), 2, cells[2].toUtf8().constData(), nullptr);
    }
    workbook_close(workbook);
    for (auto _ : state) {
        ImportTable table;
        ImportTable::read(path, table);
        benchmark::DoNotOptimize(table.names({}, true));
    }
}
BENCHMARK(ImportXlsx)->Arg(100000)->Arg(1048575)->Unit(benchmark::kMillisecond)->Iterations(3);

// Each file made to hang or exhaust the import, and two bigger ones: a comment
// that fills the sheet's bound (a 1 MB file), a 100 MB line of commas.
void ImportHostile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("hostile");
    std::vector<Workbooks::Hostile> cases = Workbooks::hostile();
    const QByteArray megabyte(1 << 20, 'x');
    cases.push_back({"a comment as long as a sheet may be",
                     {},
                     QByteArrayList{"<worksheet><!--"} + QByteArrayList(1023, megabyte) +
                         QByteArrayList{"--></worksheet>"},
                     {}});
    const size_t index = size_t(state.range(0));
    if (index < cases.size()) {
        cases[index].write(path);
        state.SetLabel(cases[index].what);
    } else {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        for (int i = 0; i < 100; ++i)
            file.write(QByteArray(1 << 20, ','));
        file.close();
        state.SetLabel("a 100 MB line of commas");
    }
    for (auto _ : state) {
        ImportTable table;
        ImportTable::read(path, table);
        benchmark::DoNotOptimize(table.names({}, true));
    }
}
BENCHMARK(ImportHostile)->DenseRange(0, 12)->Unit(benchmark::kMillisecond)->Iterations(1);

void ImportCsv(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("hr.csv");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("\xEF\xBB\xBF工号,姓名,部门\r\n");
    for (int i = 0; i < state.range(0); ++i)
        file.write((personOf(i) + QStringLiteral("\r\n")).toUtf8());
    file.close();
    for (auto _ : state) {
        ImportTable table;
        ImportTable::read(path, table);
        benchmark::DoNotOptimize(table.names({}, true));
    }
}
BENCHMARK(ImportCsv)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

void StopWithRange(benchmark::State& state)
{
    std::vector<tstring> pool;
    for (int i = 0; i < state.range(0); ++i)
        pool.push_back(personOf(i).replace(',', ' ').toStdWString());
    AwardItem prize;
    prize.winnerCount = 1000;
    DrawScope scope;
    scope.parse(L"不含 管理层 且 包含 研发部");
    DrawEngine engine;
    for (auto _ : state) {
        state.PauseTiming();
        engine.Reset();
        engine.load(pool, {prize});
        engine.StartDraw();
        // The names cycle for seconds: the pool's digest is known by the stop.
        engine.settleDigest();
        DrawRecord record;
        state.ResumeTiming();
        engine.StopDraw(DrawSeed::fresh(), record, &scope);
    }
}
BENCHMARK(StopWithRange)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(10);

void WriteWinnersTable(benchmark::State& state)
{
    QTemporaryDir dir;
    const EventFolder folder(dir.path());
    std::vector<WinnerRow> rows;
    for (int i = 0; i < state.range(0); ++i)
        rows.push_back(WinnerRow{i + 1, QStringLiteral("参与奖"), QStringLiteral("纪念品"),
                                 personOf(i).replace(',', ' '), QStringLiteral("2027-01-15 20:30:00"),
                                 QStringLiteral("ABCD-EF01-2345-6789"), QString()});
    for (auto _ : state)
        WinnersTable::write(folder, rows);
}
BENCHMARK(WriteWinnersTable)->Arg(30000)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
