// Filling the query grid from a SQLite file: 2000 records of 10 columns, offscreen, the
// export-options dialog's case at the grid's limit. Target: under 50 ms.
#include "bench/BenchProgram.h"
#include "db/DAODBConnection.h"
#include "db/DBSQLListCtrl.h"

#include <benchmark/benchmark.h>

namespace {

// Table M of ten columns of mixed types and the given number of records.
bool makeTable(const QString& path, int records)
{
    DAODBConnection connection;
    if (!connection.CreateDatabase(path) || !connection.Open(path, false, false))
        return false;
    if (connection.Execute("CREATE TABLE M (ID INTEGER, NOMBRE TEXT, MODELO INTEGER, SERIE TEXT, PRECIO DOUBLE, "
                           "ACTIVO BOOLEAN, ALTA DATETIME, ZONA TEXT, CUENTA SMALLINT, NOTA MEMO)") < 0 ||
        !connection.BeginTrans())
        return false;
    for (int i = 0; i < records; ++i) {
        const QString insert = QStringLiteral("INSERT INTO M VALUES (%1, 'Maquina %1', %2, 'S-%1', %1.25, %3, "
                                              "#03/15/2012 10:30:00#, 'Zona %2', %2, 'Nota de la maquina %1')")
                                   .arg(i)
                                   .arg(i % 40)
                                   .arg(i % 2 ? -1 : 0);
        if (connection.Execute(insert) != 1)
            return false;
    }
    return connection.CommitTrans();
}

void BM_FillFromQuery2000x10(benchmark::State& state)
{
    BenchProgram program;
    const QString path = program.path("maquinas.mdb");
    DAODBConnection connection;
    if (!makeTable(path, 2000) || !connection.Open(path, false, true)) {
        state.SkipWithError("the table could not be made");
        return;
    }
    DBSQLListCtrl grid;
    grid.resize(800, 600);
    grid.show();
    grid.SetQuery("SELECT * FROM M", &connection, true);
    for (auto _ : state) {
        grid.FillFromQuery(grid.GetGivenQuery(), true);
        benchmark::DoNotOptimize(grid.Model().rowCount());
    }
    if (grid.Model().rowCount() != 2000 || program.boxesShown() > 0)
        state.SkipWithError("the grid did not fill");
}

} // namespace

BENCHMARK(BM_FillFromQuery2000x10)->Unit(benchmark::kMillisecond);
