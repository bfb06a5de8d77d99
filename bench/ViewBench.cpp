// Painting the view of a full document: 24 products of 12 devices each (312 rows) on a
// 1000 x 800 image, through the same routine as the screen and the printer, for a classic
// machine and for the T38A family.
// Target: under 16 milliseconds a paint.
#include "app/COrmiDoc.h"
#include "bench/BenchDocuments.h"
#include "bench/BenchProgram.h"
#include "ui/COrmiView.h"
#include "ui/PainterCanvas.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

using BenchDocuments::DevicesPerProduct;
using BenchDocuments::Products;

const QSize ImageSize(1000, 800);

// Dispensers with rates (so every bar carries an estimate), whippers and valves.
void prepare(BenchProgram& program)
{
    CCfg& cfg = program.cfg();
    BenchDocuments::setWiredDeviceTypes(cfg);
    for (int dispenser = 1; dispenser <= 5; ++dispenser)
        cfg.SetDispenserRate(dispenser, 12.5f);
    cfg.SetPumpRate(10.0f);
}

void fill(COrmiDoc& doc, bool t38a)
{
    for (int product = 1; product <= Products; ++product) {
        CDeviceCoffee* header = doc.AddDevice();
        header->SetProductNumber(product);
        header->SetSelectionNumber(product);
        header->SetName("CAFE CON LECHE " + QByteArray::number(product));
        header->SetWideName(WideName(u"Café con leche"));
        header->SetCodePageFlag(t38a ? 1 : 0);
        int end = 0;
        for (int device = 0; device < DevicesPerProduct; ++device) {
            CDeviceCoffee* row = doc.AddDevice();
            row->SetTypeIndex(device);
            row->SetTypeName("TIPO " + QByteArray::number(device));
            row->SetColour(device % 9);
            row->SetSugarFlag(0);
            if (t38a) {
                row->SetCodePageFlag(1);
                row->SetContainerTurns(device % 4);
                row->SetWaterPulses(device * 13);
                end = row->ComputeT38ATimes(end);
            } else {
                row->SetStart(device * 10);
                row->SetEnd(device * 10 + 50);
            }
        }
    }
}

void paintView(benchmark::State& state, bool t38a)
{
    BenchProgram program;
    prepare(program);
    COrmiDoc doc;
    fill(doc, t38a);
    COrmiView view;
    view.SetDocument(&doc);
    view.viewport()->resize(ImageSize);
    QImage image(ImageSize, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        PainterCanvas dc(painter);
        view.OnPrepareDC(dc);
        view.OnDraw(dc);
    }
    view.SetDocument(nullptr);
    if (program.boxesShown() != 0)
        state.SkipWithError("a message box was shown");
}

void BM_PaintClassic(benchmark::State& state) { paintView(state, false); }
void BM_PaintT38A(benchmark::State& state) { paintView(state, true); }

} // namespace

BENCHMARK(BM_PaintClassic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintT38A)->Unit(benchmark::kMillisecond);
