// The management-database export of a 24-product classic document with both options, into a
// copy of the sample management database on disk: the opening and the channels, every record,
// the products with their pictures, the union, the key table, the prices and the commit.
#include "app/COrmiDoc.h"
#include "app/ModelDialogHost.h"
#include "bench/BenchProgram.h"
#include "export/ExportOptionsDialogHost.h"
#include "export/ExportaDatabase.h"
#include "export/ZentroluxExport.h"
#include "fw/Clock.h"

#include <benchmark/benchmark.h>

#include <QFile>

namespace {

constexpr int ClassicModel = 1;
constexpr long SampleClassicMachine = 1;
constexpr int Products = 24;
constexpr int DevicesPerProduct = 3;

class ChooseModel : public ModelDialogHost {
public:
    bool Run(TipoMaquinaDlgData& data) override
    {
        data.model = ClassicModel;
        return true;
    }
};

class ChooseBothOptions : public ExportOptionsDialogHost {
public:
    bool Run(ExportaZentroluxDlgData& data) override
    {
        data.machineCode = SampleClassicMachine;
        data.ExportarProds = 1;
        data.ExportarUnion = 1;
        return true;
    }
};

// Keeps the last box quiet: the export ends with one every time.
class LastBox : public fw::MessageSink {
public:
    fw::MessageAnswer show(const fw::Message& message) override
    {
        last = message.text;
        ++shown;
        return message.defaultAnswer;
    }
    QString last;
    int shown = 0;
};

void fill(COrmiDoc& document)
{
    document.OnNewDocument();
    document.SetMachineModel(ClassicModel);
    for (int p = 1; p <= Products; ++p) {
        CDeviceCoffee* header = document.AddDevice();
        header->SetProductNumber(p);
        header->SetSelectionNumber(p);
        header->SetName("PRODUCTO " + QByteArray::number(p));
        for (int d = 0; d < DevicesPerProduct; ++d) {
            CDeviceCoffee* device = document.AddDevice();
            device->SetTypeIndex(d);
            device->SetStart(d * 10);
            device->SetEnd(d * 10 + 50);
        }
    }
}

void BM_ExportClassic24BothOptions(benchmark::State& state)
{
    BenchProgram program;
    fw::StringTable strings;
    LastBox boxes;
    fw::Application application(program.profile(), strings, boxes);
    application.setProgramFolder(QStringLiteral(ORMI_PROGRAM_DIR));
    ChooseModel models;
    fw::ProgramWide<ModelDialogHost>::Install modelsInstall(models);
    ChooseBothOptions options;
    COrmiDoc document;
    fill(document);
    const QString database = program.path(QStringLiteral("Zentrolux.MDB"));
    program.profile().WriteString(QStringLiteral("Configuracion"), QStringLiteral("Database"), database);
    const QString exported = strings.text(ExportaDatabase::ExportedText);
    int runs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(database);
        const bool copied = QFile::copy(QStringLiteral(ORMI_MANAGEMENT_SAMPLE), database);
        state.ResumeTiming();
        ZentroluxExport(document, options, fw::Clock::System()).Run();
        if (!copied || boxes.shown != ++runs || boxes.last != exported) {
            state.SkipWithError(qPrintable(QStringLiteral("the export did not run through: ") + boxes.last));
            break;
        }
    }
}

} // namespace

BENCHMARK(BM_ExportClassic24BothOptions)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
