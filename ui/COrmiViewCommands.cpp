// The view's commands and its click: edit modes, new rows, the row dialogs, the settings.
#include "ui/COrmiView.h"

#include "app/CCfg.h"
#include "app/CMainFrame.h"
#include "app/COrmiDoc.h"
#include "app/CRCFile.h"
#include "app/CommandIds.h"
#include "app/DispositivoDlgData.h"
#include "app/DispositivoT38ADlgData.h"
#include "app/ParametrizacionDlgData.h"
#include "app/ProductDlgData.h"
#include "app/SetupT38A.h"
#include "app/SugarDlgData.h"
#include "app/TemperDlgData.h"
#include "fw/Application.h"
#include "fw/MessageBoxes.h"
#include "fw/ProgramWide.h"
#include "fw/TextFormat.h"
#include "fw/WaitUi.h"
#include "ui/ViewDialogs.h"

#include <QAction>
#include <QDir>
#include <QMouseEvent>

#include <utility>

namespace {

QString text(int id) { return fw::Application::get().strings().text(id); }

void say(const QString& message) { fw::MessageBoxes::box(message); }

} // namespace

void COrmiView::ConnectCommands(CMainFrame& frame)
{
    using namespace CommandIds;
    m_frame = &frame;
    const std::pair<int, std::function<void()>> commands[] = {
        {Borrar, [this] { OnBorrar(); }},
        {Editar, [this] { OnEditar(); }},
        {Insertar, [this] { OnInsertar(); }},
        {NuevoProducto, [this] { OnNuevoProducto(); }},
        {NuevoDispositivo, [this] { OnNuevoDispositivo(); }},
        {GrabarRs232, [this] { OnGrabarRs232(); }},
        {LeerRs232, [this] { OnLeerRs232(); }},
        {ConfiguracionAzucar, [this] { OnConfiguracionAzucar(); }},
        {TemperaturaTrabajo, [this] { OnTemperaturaTrabajo(); }},
        {ModeloMaquina, [this] { OnModeloMaquina(); }},
        {ParametrizacionMaquina, [this] { OnParametrizacionMaquina(); }},
        {IdiomaNombresProductos, [this] { OnIdiomaNombresProductos(); }},
        {IdiomaSoftware, [this] { OnIdiomaSoftware(); }},
        {SeleccionarPuertoSerie, [this] { OnSeleccionarPuertoSerie(); }},
        {Checksum, [this] { OnChecksum(); }},
        {ExportarZentrolux, [this] {
             m_document->OnExportarZentrolux();
             m_document->UpdateAllViews();
         }},
        {ExportarQuorvanel, [this] {
             m_document->OnExportarQuorvanel();
             m_document->UpdateAllViews();
         }},
    };
    for (const auto& [id, handler] : commands) {
        QAction* command = frame.action(id);
        command->setEnabled(true);
        // An init-capture: Clang before 16 cannot capture a structured binding.
        connect(command, &QAction::triggered, this, [this, handler = handler] {
            // One transfer at a time: while one runs or settles the window pumps events, and
            // no command may start another one or change the document under it.
            if (!fw::WaitUi::transferRunning())
                handler();
            updateCommandMarks();
        });
    }
    for (int id : {Borrar, Editar, Insertar})
        frame.action(id)->setCheckable(true);
    updateCommandMarks();
}

void COrmiView::updateCommandMarks()
{
    if (!m_frame)
        return;
    OnUpdateBorrar(*m_frame->action(CommandIds::Borrar));
    OnUpdateEditar(*m_frame->action(CommandIds::Editar));
    OnUpdateInsertar(*m_frame->action(CommandIds::Insertar));
}

void COrmiView::OnBorrar() { m_editMode = DeleteMode; }
void COrmiView::OnEditar() { m_editMode = EditMode; }
void COrmiView::OnInsertar() { m_editMode = InsertMode; }
void COrmiView::OnUpdateBorrar(QAction& command) const { command.setChecked(m_editMode == DeleteMode); }
void COrmiView::OnUpdateEditar(QAction& command) const { command.setChecked(m_editMode == EditMode); }
void COrmiView::OnUpdateInsertar(QAction& command) const { command.setChecked(m_editMode == InsertMode); }

void COrmiView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(event->modifiers(), event->position().toPoint());
    QAbstractScrollArea::mousePressEvent(event);
}

void COrmiView::OnLButtonDown(Qt::KeyboardModifiers, QPoint point)
{
    if (!m_document || fw::WaitUi::transferRunning())
        return;
    const QPoint logical = ViewportToLogical(point);
    if (!m_document->SelectRowAt(logical.x(), logical.y()))
        return;
    // The row the click chose, held across any dialog.
    const COrmiDoc::RowPosition clicked = m_document->GetCurrentPosition();
    switch (m_editMode) {
    case DeleteMode:
        m_document->DeleteCurrentRow();
        break;
    case EditMode:
        editRow(clicked);
        break;
    case InsertMode:
        insertAbove(clicked);
        break;
    default:
        break;
    }
    m_document->UpdateAllViews();
    updateCommandMarks();
}

void COrmiView::editRow(COrmiDoc::RowPosition clicked)
{
    COrmiDoc& doc = *m_document;
    CDeviceCoffee& row = *doc.GetRowAt(clicked);
    if (row.IsProductHeader()) {
        ProductDlgData record;
        record.productNumber = row.GetProductNumber();
        record.name = row.GetName();
        record.selectionNumber = row.GetSelectionNumber();
        record.sugarFlag = row.GetSugarFlag();
        record.cupFlag = row.GetCupFlag();
        record.stirrerFlag = row.GetStirrerFlag();
        record.wideName = row.GetWideName();
        // Without these an unchanged OK would change the header's name index and code page.
        record.nameIndex = row.GetNameIndex();
        record.codePage = row.GetCodePage();
        record.t38aFlag = doc.IsT38AFamily();
        if (m_dialogs->Product(record)) {
            doc.SetModifiedFlag();
            row.FillFromProductDlg(record);
        }
    } else if (doc.IsT38AFamily()) {
        DispositivoT38ADlgData record;
        record.family = doc.GetProgramFamily();
        record.type = row.GetTypeIndex();
        record.waterPulses = row.GetWaterPulses();
        record.turns = row.GetContainerTurns();
        if (m_dialogs->DeviceT38A(record) && row.FillFromDeviceT38ADlg(record)) {
            doc.SetModifiedFlag();
            doc.ChainDeviceTimes();
        }
    } else {
        DispositivoDlgData record(doc.GetMachineModel());
        record.colour = row.GetColour();
        record.startTime = row.GetStart();
        record.endTime = row.GetEnd();
        record.type = row.GetTypeIndex();
        if (m_dialogs->Device(record) && row.FillFromDeviceDlg(record))
            doc.SetModifiedFlag();
    }
}

void COrmiView::insertAbove(COrmiDoc::RowPosition clicked)
{
    COrmiDoc& doc = *m_document;
    const COrmiDoc::RowPosition above = doc.GetPreviousRowPosition(clicked);
    if (!above) {
        showText(COrmiDoc::FirstRowMustBeHeaderText);
        return;
    }
    doc.SetCurrentPosition(above);
    if (doc.CountProductDevices() + 1 > MaxProductDevices) {
        say(fw::TextFormat::format(text(MaxDevicesText), {MaxProductDevices}));
        return;
    }
    newDevice([&doc, clicked] {
        // Counting moved the cursor.
        doc.SetCurrentPosition(clicked);
        return doc.InsertDevice();
    });
}

void COrmiView::newDevice(const std::function<CDeviceCoffee*()>& create)
{
    COrmiDoc& doc = *m_document;
    if (doc.IsT38AFamily()) {
        DispositivoT38ADlgData record;
        record.family = doc.GetProgramFamily();
        if (!m_dialogs->DeviceT38A(record))
            return;
        CDeviceCoffee* row = create();
        if (!row)
            return;
        if (!row->FillFromDeviceT38ADlg(record))
            qWarning("T38A device type %d refused", record.type);
        doc.ChainDeviceTimes();
        return;
    }
    DispositivoDlgData record(doc.GetMachineModel());
    record.type = 0;
    record.colour = 0;
    if (!m_dialogs->Device(record))
        return;
    CDeviceCoffee* row = create();
    if (row && !row->FillFromDeviceDlg(record))
        qWarning("device type %d refused", record.type);
}

void COrmiView::OnNuevoProducto()
{
    COrmiDoc& doc = *m_document;
    m_editMode = NewRowMode;
    const int number = doc.GetHighestProductNumber() + 1;
    // The product dialog and the machines take no product numbered above 24.
    if (number > MaxProducts) {
        say(fw::TextFormat::format(text(TooManyProductsText), {MaxProducts}));
        return;
    }
    ProductDlgData record;
    record.productNumber = number;
    record.selectionNumber = number;
    record.sugarFlag = 1;
    record.stirrerFlag = 1;
    record.cupFlag = 1;
    record.t38aFlag = doc.IsT38AFamily();
    if (!m_dialogs->Product(record))
        return;
    CDeviceCoffee* row = doc.AddDevice();
    if (!row)
        return;
    row->FillFromProductDlg(record);
    doc.UpdateAllViews();
}

void COrmiView::OnNuevoDispositivo()
{
    COrmiDoc& doc = *m_document;
    doc.SetCurrentPosition(doc.GetLastRowPosition());
    const int count = doc.CountProductDevices();
    if (count < 0)
        return;
    if (count + 1 > MaxProductDevices) {
        say(fw::TextFormat::format(text(MaxDevicesText), {MaxProductDevices}));
        return;
    }
    m_editMode = NewRowMode;
    newDevice([&doc] { return doc.AddDevice(); });
    doc.UpdateAllViews();
}

void COrmiView::OnGrabarRs232()
{
    m_document->WriteToMachine();
    m_document->UpdateAllViews();
}

void COrmiView::OnLeerRs232()
{
    m_document->ReadFromMachine();
    m_document->UpdateAllViews();
}

void COrmiView::OnConfiguracionAzucar()
{
    m_editMode = SettingsMode;
    m_document->EditSugarTimes([this](SugarDlgData& record) { return m_dialogs->Sugar(record); });
    m_document->UpdateAllViews();
}

void COrmiView::OnTemperaturaTrabajo()
{
    m_editMode = SettingsMode;
    m_document->EditTemperature([this](TemperDlgData& record) { return m_dialogs->Temperature(record); });
    m_document->UpdateAllViews();
}

void COrmiView::OnModeloMaquina()
{
    m_document->ChooseMachineModel();
    m_document->UpdateAllViews();
}

void COrmiView::OnParametrizacionMaquina()
{
    COrmiDoc& doc = *m_document;
    if (doc.IsT38AFamily()) {
        if (m_dialogs->ParametrizGrupoT38A(fw::ProgramWide<SetupT38A>::get(), doc.GetProgramFamily())) {
            doc.ApplySetupT38A();
            doc.ChainDeviceTimes();
            // The set-up tables are saved with the document.
            doc.SetModifiedFlag();
        }
        doc.UpdateAllViews();
        return;
    }
    CCfg& cfg = fw::ProgramWide<CCfg>::get();
    if (cfg.GetPumpRate() == 0.0f)
        cfg.SetPumpRate(10.0f);
    ParametrizacionDlgData record;
    for (int k = 0; k < ParametrizacionDlgData::DispenserCount; ++k)
        record.gramsPer10s[k] = cfg.GetDispenserRate(k + 1);
    record.pumpCcPerSecond = cfg.GetPumpRate();
    if (m_dialogs->Parametrizacion(record)) {
        for (int k = 0; k < ParametrizacionDlgData::DispenserCount; ++k)
            cfg.SetDispenserRate(k + 1, record.gramsPer10s[k]);
        cfg.SetPumpRate(record.pumpCcPerSecond);
    }
    doc.UpdateAllViews();
}

void COrmiView::OnIdiomaNombresProductos()
{
    COrmiDoc& doc = *m_document;
    if (const std::optional<quint32> codePage = m_dialogs->ProductNameLanguage(doc.IsModel19())) {
        doc.SetProductNameCodePage(*codePage);
        doc.ResolveProductNames();
    }
    doc.UpdateAllViews();
}

void COrmiView::OnIdiomaSoftware()
{
    m_dialogs->InterfaceLanguage();
    m_document->UpdateAllViews();
}

void COrmiView::OnSeleccionarPuertoSerie()
{
    m_dialogs->SerialPort();
    m_document->UpdateAllViews();
}

void COrmiView::OnChecksum()
{
    COrmiDoc& doc = *m_document;
    if (doc.IsModified()) {
        showText(SaveBeforeChecksumText);
    } else if (!doc.GetPathName().isEmpty()) {
        // An unreadable file is said so: 0 is also the checksum of an empty file.
        if (const std::optional<quint32> crc = CRCFile().TryComputeFileCrc(doc.GetPathName()))
            say(fw::TextFormat::format(text(ChecksumText), {qulonglong(*crc)}));
        else
            say(fw::TextFormat::format(text(CannotOpenFileText), {QDir::toNativeSeparators(doc.GetPathName())}));
    }
    doc.UpdateAllViews();
}

void COrmiView::showText(int id) { say(text(id)); }
