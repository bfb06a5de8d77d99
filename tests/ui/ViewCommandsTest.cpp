#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "app/DispositivoDlgData.h"
#include "app/DispositivoT38ADlgData.h"
#include "app/ParametrizacionDlgData.h"
#include "app/ProductDlgData.h"
#include "app/SetupT38A.h"
#include "fw/ProgramWide.h"
#include "tests/ui/ViewFixture.h"
#include "ui/ViewDialogs.h"

#include <QAction>
#include <QFile>

#include <functional>

namespace {

// Answers each dialog with OK or Cancel, recording the record it was shown; an OK may change
// the record first.
class ScriptedViewDialogs : public ViewDialogs {
public:
    bool ok = true;
    std::function<void(ProductDlgData&)> editProduct;
    std::function<void(DispositivoDlgData&)> editDevice;
    std::function<void(ParametrizacionDlgData&)> editRates;
    std::function<void(DispositivoT38ADlgData&)> editDeviceT38A;
    QList<ProductDlgData> products;
    QList<DispositivoDlgData> devices;
    QList<DispositivoT38ADlgData> devicesT38A;
    QList<int> setupFamilies;
    QList<ParametrizacionDlgData> rates;
    int opened = 0;

    bool Product(ProductDlgData& record) override
    {
        products.append(record);
        if (ok && editProduct)
            editProduct(record);
        return answer();
    }
    bool Device(DispositivoDlgData& record) override
    {
        devices.append(record);
        if (ok && editDevice)
            editDevice(record);
        return answer();
    }
    bool DeviceT38A(DispositivoT38ADlgData& record) override
    {
        devicesT38A.append(record);
        if (ok && editDeviceT38A)
            editDeviceT38A(record);
        return answer();
    }
    bool Sugar(SugarDlgData&) override { return answer(); }
    bool Temperature(TemperDlgData&) override { return answer(); }
    bool Parametrizacion(ParametrizacionDlgData& record) override
    {
        rates.append(record);
        if (ok && editRates)
            editRates(record);
        return answer();
    }
    bool ParametrizGrupoT38A(SetupT38A&, int family) override
    {
        setupFamilies.append(family);
        return answer();
    }
    std::optional<quint32> ProductNameLanguage(bool) override
    {
        return answer() ? std::optional<quint32>(1251) : std::nullopt;
    }
    void InterfaceLanguage() override { ++opened; }
    void SerialPort() override { ++opened; }

private:
    bool answer()
    {
        ++opened;
        return ok;
    }
};

class ViewCommandsTest : public ViewFixture {
protected:
    ViewCommandsTest()
    {
        view.SetDialogs(&dialogs);
        view.resize(600, 400);
    }

    void addProduct(int number)
    {
        CDeviceCoffee* row = doc.AddDevice();
        row->SetProductNumber(number);
        row->SetSelectionNumber(number);
        row->SetName("P" + QByteArray::number(number));
    }
    void addProductDevices(int n)
    {
        for (int k = 0; k < n; ++k) {
            CDeviceCoffee* row = doc.AddDevice();
            row->SetTypeIndex(WhipperType);
        }
    }
    // Where the view draws the rows: x 200, y -40, -80, ... in display order.
    void placeRows()
    {
        int y = 0;
        for (auto at = doc.GetFirstRowPosition(); at; at = doc.GetNextRowPosition(at)) {
            doc.GetRowAt(at)->SetX(200);
            doc.GetRowAt(at)->SetY(y -= 40);
        }
    }
    // The viewport pixel whose logical point is the one given (the mapping rounds).
    QPoint pixelOf(QPoint logical) const
    {
        for (int py = 0; py < 4000; ++py) {
            for (int px = 0; px < 4000; px += 1) {
                const QPoint at = view.ViewportToLogical(QPoint(px, py));
                if (at.y() < logical.y())
                    break;
                if (at.y() == logical.y() && at.x() >= logical.x())
                    return QPoint(px, py);
            }
        }
        ADD_FAILURE() << "no pixel for the point";
        return {};
    }
    // A click on the row at display index k.
    void clickRow(int k, int x = 300)
    {
        placeRows();
        view.OnLButtonDown(Qt::NoModifier, pixelOf(QPoint(x, -40 * (k + 1) + 20)));
    }
    int rowIndexOf(const CDeviceCoffee* row)
    {
        int k = 0;
        for (auto at = doc.GetFirstRowPosition(); at; at = doc.GetNextRowPosition(at), ++k) {
            if (doc.GetRowAt(at) == row)
                return k;
        }
        return -1;
    }
    CDeviceCoffee* rowAt(int k)
    {
        auto at = doc.GetFirstRowPosition();
        while (k-- > 0)
            at = doc.GetNextRowPosition(at);
        return doc.GetRowAt(at);
    }

    ScriptedViewDialogs dialogs;
    fw::ProgramWide<SetupT38A>::Scope setup;
};

// A T38A document of program family 1: the set-up rows 2.. are its products.
class T38AViewCommandsTest : public ViewCommandsTest {
protected:
    static constexpr int Model = 21;
    static constexpr int Family = 1;
    static constexpr int ProductRow = 2;

    T38AViewCommandsTest() { doc.SetMachineModel(Model); }

    // The dialog's answer: the product row with these container turns and water pulses.
    void answerDevice(int turns, int pulses)
    {
        dialogs.editDeviceT38A = [turns, pulses](DispositivoT38ADlgData& r) {
            r.type = ProductRow;
            r.turns = turns;
            r.waterPulses = pulses;
        };
    }
};

TEST_F(ViewCommandsTest, ModeCommandsSetModeAndMarks)
{
    using namespace CommandIds;
    CMainFrame frame;
    view.ConnectCommands(frame);
    struct Case {
        int command;
        int mode;
        bool borrar, editar, insertar;
    };
    const Case cases[] = {
        {Borrar, 0, true, false, false},      {Borrar, 0, true, false, false},
        {Insertar, 4, false, false, true},    {Editar, 1, false, true, false},
        {NuevoProducto, 2, false, false, false}, {Editar, 1, false, true, false},
        {ConfiguracionAzucar, 5, false, false, false},
        {TemperaturaTrabajo, 5, false, false, false},
    };
    EXPECT_TRUE(frame.action(Editar)->isChecked());
    dialogs.ok = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        frame.action(c.command)->trigger();
        EXPECT_EQ(view.GetEditMode(), c.mode);
        EXPECT_EQ(frame.action(Borrar)->isChecked(), c.borrar);
        EXPECT_EQ(frame.action(Editar)->isChecked(), c.editar);
        EXPECT_EQ(frame.action(Insertar)->isChecked(), c.insertar);
    }
}

TEST_F(ViewCommandsTest, ClickInModesTwoAndFiveOnlyRefreshes)
{
    addProduct(1);
    addProductDevices(2);
    doc.SetModifiedFlag(false);
    for (int mode : {2, 5}) {
        view.SetEditMode(mode);
        clickRow(1);
        EXPECT_EQ(doc.GetRowCount(), 3);
        EXPECT_EQ(dialogs.opened, 0);
        EXPECT_FALSE(doc.IsModified());
    }
}

TEST_F(ViewCommandsTest, ClickInDeleteModeDeletesTheRow)
{
    addProduct(1);
    addProductDevices(2);
    view.SetEditMode(COrmiView::DeleteMode);
    clickRow(2);
    EXPECT_EQ(doc.GetRowCount(), 2);
    clickRow(0); // a header goes with its devices
    EXPECT_EQ(doc.GetRowCount(), 0);
}

TEST_F(ViewCommandsTest, ClickOutsideTheRowsDoesNothing)
{
    addProduct(1);
    view.SetEditMode(COrmiView::DeleteMode);
    clickRow(0, 150); // left of x = 200
    clickRow(3);      // below the last row
    EXPECT_EQ(doc.GetRowCount(), 1);
}

TEST_F(ViewCommandsTest, InsertAboveTheFirstRowIsRefused)
{
    addProduct(1);
    view.SetEditMode(COrmiView::InsertMode);
    clickRow(0);
    EXPECT_EQ(app.messages().texts(), QStringList{"El primer elemento debe ser una cabecera de producto."});
    EXPECT_EQ(doc.GetRowCount(), 1);
    EXPECT_EQ(dialogs.opened, 0);
}

TEST_F(ViewCommandsTest, InsertCountsTheProductAboveTheClick)
{
    addProduct(1);
    addProductDevices(12);
    addProduct(2);
    view.SetEditMode(COrmiView::InsertMode);
    clickRow(13); // the header of product 2: the device would join product 1
    EXPECT_EQ(app.messages().texts(), QStringList{"Máximo nº de dispositivos para un producto 12"});
    EXPECT_EQ(doc.GetRowCount(), 14);
    EXPECT_EQ(dialogs.opened, 0);
}

TEST_F(ViewCommandsTest, InsertPutsTheTwelfthDeviceAboveTheClickedRow)
{
    addProduct(1);
    addProductDevices(11);
    doc.SetModifiedFlag(false);
    view.SetEditMode(COrmiView::InsertMode);
    const CDeviceCoffee* clicked = rowAt(5);

    dialogs.ok = false;
    clickRow(5);
    EXPECT_EQ(doc.GetRowCount(), 12);
    EXPECT_FALSE(doc.IsModified());

    dialogs.ok = true;
    dialogs.editDevice = [](DispositivoDlgData& r) { r.startTime = 7; r.endTime = 9; };
    clickRow(5);
    ASSERT_EQ(doc.GetRowCount(), 13);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(rowIndexOf(clicked), 6);
    EXPECT_EQ(rowAt(5)->GetStart(), 7);
    EXPECT_EQ(rowAt(5)->GetEnd(), 9);
    EXPECT_EQ(dialogs.devices.last().model, doc.GetMachineModel());
    EXPECT_TRUE(app.messages().texts().isEmpty());
}

TEST_F(ViewCommandsTest, NewDeviceRefusals)
{
    view.OnNuevoDispositivo();
    EXPECT_EQ(app.messages().texts(), QStringList{"El primer elemento debe ser una cabecera de producto."});
    EXPECT_EQ(view.GetEditMode(), COrmiView::InitialEditMode);
    app.messages().clear();

    addProduct(1);
    addProductDevices(12);
    view.OnNuevoDispositivo();
    EXPECT_EQ(app.messages().texts(), QStringList{"Máximo nº de dispositivos para un producto 12"});
    EXPECT_EQ(view.GetEditMode(), COrmiView::InitialEditMode);
    EXPECT_EQ(doc.GetRowCount(), 13);
    EXPECT_EQ(dialogs.opened, 0);
}

TEST_F(ViewCommandsTest, NewDeviceGoesAtTheEnd)
{
    addProduct(1);
    addProductDevices(3);
    dialogs.editDevice = [](DispositivoDlgData& r) { r.endTime = 33; };
    view.OnNuevoDispositivo();
    ASSERT_EQ(doc.GetRowCount(), 5);
    EXPECT_EQ(rowAt(4)->GetEnd(), 33);
    EXPECT_EQ(view.GetEditMode(), COrmiView::NewRowMode);
}

TEST_F(ViewCommandsTest, NewProductNumbersAndLimit)
{
    view.OnNuevoProducto();
    ASSERT_EQ(dialogs.products.size(), 1);
    const ProductDlgData& shown = dialogs.products.first();
    EXPECT_EQ(shown.productNumber, 1);
    EXPECT_EQ(shown.selectionNumber, 1);
    EXPECT_EQ(shown.sugarFlag + shown.cupFlag + shown.stirrerFlag, 3);
    ASSERT_EQ(doc.GetRowCount(), 1);
    EXPECT_EQ(rowAt(0)->GetProductNumber(), 1);

    for (int highest : {24, 30}) {
        SCOPED_TRACE(highest);
        app.messages().clear();
        doc.OnNewDocument();
        addProduct(highest);
        const int opened = dialogs.opened;
        view.OnNuevoProducto();
        EXPECT_EQ(app.messages().texts(), QStringList{"No se pueden crear más de 24 productos."});
        EXPECT_EQ(doc.GetRowCount(), 1);
        EXPECT_EQ(dialogs.opened, opened);
    }
}

TEST_F(ViewCommandsTest, EditingAHeaderUnchangedKeepsItsNameIndexAndCodePage)
{
    addProduct(1);
    CDeviceCoffee* header = rowAt(0);
    header->SetNameIndex(7);
    header->SetCodePage(1251);
    doc.SetModifiedFlag(false);
    clickRow(0);
    ASSERT_EQ(dialogs.products.size(), 1);
    EXPECT_EQ(dialogs.products.first().nameIndex, 7);
    EXPECT_EQ(header->GetNameIndex(), 7);
    EXPECT_EQ(header->GetCodePage(), 1251u);
    EXPECT_EQ(header->GetName(), QByteArray("P1"));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ViewCommandsTest, EditingADeviceFillsItFromTheDialog)
{
    addProduct(1);
    addProductDevices(1);
    rowAt(1)->SetStart(4);
    dialogs.editDevice = [](DispositivoDlgData& r) { r.endTime = 50; };
    clickRow(1);
    ASSERT_EQ(dialogs.devices.size(), 1);
    EXPECT_EQ(dialogs.devices.first().startTime, 4);
    EXPECT_EQ(dialogs.devices.first().type, WhipperType);
    EXPECT_EQ(rowAt(1)->GetEnd(), 50);
}

TEST_F(ViewCommandsTest, Checksum)
{
    view.OnChecksum(); // never saved
    EXPECT_TRUE(app.messages().texts().isEmpty());

    const QString path = app.tempPath("doc.caf");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("123456789");
    }
    doc.SetPathName(path);
    view.OnChecksum();
    EXPECT_EQ(app.messages().texts(), QStringList{"La checksum del fichero es CBF43926"});

    app.messages().clear();
    doc.SetModifiedFlag();
    view.OnChecksum();
    EXPECT_EQ(app.messages().texts(),
              QStringList{"Guarde los cambios realizados en el documento antes de calcular la checksum."});

    app.messages().clear();
    doc.SetModifiedFlag(false);
    QFile::remove(path);
    view.OnChecksum();
    ASSERT_EQ(app.messages().texts().size(), 1);
    EXPECT_TRUE(app.messages().texts().first().startsWith("No se puede abrir el archivo "));
}

TEST_F(ViewCommandsTest, ClassicParametrisation)
{
    cfg.object().SetPumpRate(0.0f);
    dialogs.ok = false;
    view.OnParametrizacionMaquina();
    ASSERT_EQ(dialogs.rates.size(), 1);
    EXPECT_EQ(dialogs.rates.first().pumpCcPerSecond, 10.0f);
    EXPECT_EQ(cfg.object().GetPumpRate(), 10.0f);

    dialogs.ok = true;
    dialogs.editRates = [](ParametrizacionDlgData& r) {
        r.gramsPer10s[2] = 3.5f;
        r.pumpCcPerSecond = 12.0f;
    };
    view.OnParametrizacionMaquina();
    EXPECT_EQ(cfg.object().GetDispenserRate(3), 3.5f);
    EXPECT_EQ(cfg.object().GetPumpRate(), 12.0f);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ViewCommandsTest, LanguageAndPortDialogs)
{
    view.OnIdiomaSoftware();
    view.OnSeleccionarPuertoSerie();
    EXPECT_EQ(dialogs.opened, 2);
    dialogs.ok = false;
    const quint32 codePage = doc.GetProductNameCodePage();
    view.OnIdiomaNombresProductos();
    EXPECT_EQ(doc.GetProductNameCodePage(), codePage);
}

TEST_F(T38AViewCommandsTest, NewDevicesStartOneAfterTheOther)
{
    addProduct(1);
    answerDevice(10, 0); // ends at 10 × 0.8 × 10 = 80
    view.OnNuevoDispositivo();
    answerDevice(0, 130); // starts 5 after, runs 130 × 10 / 13 = 100
    view.OnNuevoDispositivo();
    ASSERT_EQ(doc.GetRowCount(), 3);
    ASSERT_EQ(dialogs.devicesT38A.size(), 2);
    EXPECT_EQ(dialogs.devicesT38A.first().family, Family);
    EXPECT_TRUE(dialogs.devices.isEmpty());
    EXPECT_EQ(rowAt(1)->GetStart(), 0);
    EXPECT_EQ(rowAt(1)->GetEnd(), 80);
    EXPECT_EQ(rowAt(2)->GetStart(), 85);
    EXPECT_EQ(rowAt(2)->GetEnd(), 185);
    EXPECT_EQ(rowAt(2)->GetTypeIndex(), ProductRow);
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(T38AViewCommandsTest, EditingADeviceShowsItsValuesAndChainsTheTimesAgain)
{
    addProduct(1);
    answerDevice(10, 0);
    view.OnNuevoDispositivo();
    view.OnNuevoDispositivo();
    doc.SetModifiedFlag(false);
    view.OnEditar();

    dialogs.ok = false;
    clickRow(1);
    EXPECT_FALSE(doc.IsModified());
    const DispositivoT38ADlgData shown = dialogs.devicesT38A.last();
    EXPECT_EQ(shown.family, Family);
    EXPECT_EQ(shown.type, ProductRow);
    EXPECT_EQ(shown.turns, 10);
    EXPECT_EQ(shown.waterPulses, 0);

    dialogs.ok = true;
    answerDevice(20, 0); // the first now ends at 160, the second starts at 165
    clickRow(1);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(rowAt(1)->GetContainerTurns(), 20);
    EXPECT_EQ(rowAt(1)->GetEnd(), 160);
    EXPECT_EQ(rowAt(2)->GetStart(), 165);
    EXPECT_EQ(rowAt(2)->GetEnd(), 245);
}

TEST_F(T38AViewCommandsTest, InsertingADeviceChainsTheTimes)
{
    addProduct(1);
    answerDevice(10, 0);
    view.OnNuevoDispositivo();
    view.SetEditMode(COrmiView::InsertMode);
    answerDevice(5, 0);
    clickRow(1);
    ASSERT_EQ(doc.GetRowCount(), 3);
    EXPECT_EQ(rowAt(1)->GetContainerTurns(), 5);
    EXPECT_EQ(rowAt(1)->GetEnd(), 40);
    EXPECT_EQ(rowAt(2)->GetStart(), 45);
}

TEST_F(T38AViewCommandsTest, SetUpOkMarksTheDocumentModifiedCancelDoesNot)
{
    addProduct(7);
    doc.SetModifiedFlag(false);
    dialogs.ok = false;
    view.OnParametrizacionMaquina();
    EXPECT_EQ(dialogs.setupFamilies, QList<int>{Family});
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(rowAt(0)->GetProductNumber(), 7);
    EXPECT_TRUE(dialogs.rates.isEmpty());

    dialogs.ok = true;
    view.OnParametrizacionMaquina();
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(rowAt(0)->GetProductNumber(), 1); // renumbered by the set-up
}

} // namespace
