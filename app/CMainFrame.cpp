#include "app/CMainFrame.h"

#include "app/CommandIds.h"
#include "app/ToolbarArt.h"
#include "fw/Application.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace {

using namespace CommandIds;

constexpr int kMainToolBar[] = {FileNew, FileOpen, FileSave, Separator, FilePrintPreview, FilePrint,
                                Separator, ExportarZentrolux, ExportarQuorvanel, Separator, Checksum,
                                ModeloMaquina, IdiomaNombresProductos, IdiomaSoftware, Separator, AppAbout};
constexpr int kEditToolBar[] = {Editar, NuevoDispositivo, Insertar, NuevoProducto, Borrar, Separator,
                                ConfiguracionAzucar, TemperaturaTrabajo};

struct MenuItem {
    int command; // Separator for a line
    const char* text;
    const char* keys; // the keys that work (the menu text may show others)
};

struct MenuPopup {
    const char* title;
    std::initializer_list<MenuItem> items;
};

const MenuPopup kMenu[] = {
    {"&Archivo",
     {{FileNew, "&Nuevo\tCtrl+N", "Ctrl+N"},
      {FileOpen, "&Abrir...\tCtrl+A", "Ctrl+O"},
      {FileSave, "&Guardar\tCtrl+G", "Ctrl+S"},
      {FileSaveAs, "Guardar c&omo...", nullptr},
      {Separator, nullptr, nullptr},
      {FilePrint, "&Imprimir...\tCtrl+I", "Ctrl+P"},
      {FilePrintPreview, "&Presentación preliminar", nullptr},
      {FilePrintSetup, "Con&figurar impresora...", nullptr},
      {Separator, nullptr, nullptr},
      {FileMruFirst, "Archivo reciente", nullptr},
      {Separator, nullptr, nullptr},
      {AppExit, "&Salir", nullptr}}},
    {"&Editar",
     {{NuevoProducto, "&Nuevo producto\tAlt+N", "Alt+N"},
      {NuevoDispositivo, "Nuevo &dispositivo\tAlt+D", "Alt+D"},
      {Editar, "&Editar\tAlt+E", "Alt+E"},
      {Borrar, "&Borrar\tAlt+B", "Alt+B"},
      {Insertar, "&Insertar\tAlt+I", "Alt+I"}}},
    {"&Ver",
     {{ViewToolbar, "Barra de &herramientas", nullptr}, {ViewStatusBar, "Barra de &estado", nullptr}}},
    {"&Configuración",
     {{SeleccionarPuertoSerie, "Seleccionar &puerto serie", nullptr},
      {GrabarRs232, "&Grabar a través de cable RS232", nullptr},
      {LeerRs232, "&Leer a través de cable RS232", nullptr},
      {ExportarZentrolux, "Exportar a &Zentrolux", nullptr},
      {ExportarQuorvanel, "Exportar a Quorvanel", nullptr},
      {Checksum, "Calcular chec&ksum fichero actual", nullptr},
      {Separator, nullptr, nullptr},
      {ConfiguracionAzucar, "&Configuración azucar", nullptr},
      {TemperaturaTrabajo, "&Temperatura trabajo", nullptr},
      {ModeloMaquina, "&Modelo y configuración de máquina", nullptr},
      {IdiomaNombresProductos, "&Idioma nombres de productos", nullptr},
      {IdiomaSoftware, "Idioma funcionamiento del software", nullptr},
      {ParametrizacionMaquina, "Parametri&zación máquina", nullptr}}},
    {"Ay&uda", {{AppAbout, "&Acerca de Ormi...", nullptr}}},
};

// Menu text without the shown keys: Qt shows them from the shortcut itself.
QString plainText(const char* menuText)
{
    const QString text = QString::fromUtf8(menuText);
    return text.left(text.indexOf(QLatin1Char('\t')));
}

} // namespace

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(fw::Application::get().name());
    setWindowIcon(ToolbarArt::applicationIcon());
    createMenus();
    // Printing without the dialog has no menu item or button; the print path and the command
    // line reach it through its action.
    createAction(FilePrintDirect, QString());
    m_mainToolBar = createToolBar(QStringLiteral("Estándar"), mainToolBarCommands(), 30);
    addToolBarBreak(Qt::TopToolBarArea);
    m_editToolBar = createToolBar(QStringLiteral("Edición"), editToolBarCommands(), 24);
    createStatusBar();

    // The "Ver" items show and hide the bars.
    QAction* toolbars = action(ViewToolbar);
    toolbars->setCheckable(true);
    toolbars->setChecked(true);
    connect(toolbars, &QAction::toggled, this, [this](bool on) {
        m_mainToolBar->setVisible(on);
        m_editToolBar->setVisible(on);
    });
    QAction* status = action(ViewStatusBar);
    status->setCheckable(true);
    status->setChecked(true);
    connect(status, &QAction::toggled, statusBar(), &QWidget::setVisible);
    connect(action(AppExit), &QAction::triggered, this, &QWidget::close);
    for (int id : {ViewToolbar, ViewStatusBar, AppExit})
        action(id)->setEnabled(true);
}

QAction* CMainFrame::action(int commandId) const { return m_actions.value(commandId); }

std::span<const int> CMainFrame::mainToolBarCommands() { return kMainToolBar; }
std::span<const int> CMainFrame::editToolBarCommands() { return kEditToolBar; }

QStringList CMainFrame::indicatorTexts()
{
    return {QStringLiteral("MAY"), QStringLiteral("NUM"), QStringLiteral("DESP")};
}

QAction* CMainFrame::createAction(int commandId, const QString& menuText)
{
    if (QAction* existing = action(commandId))
        return existing;
    auto* created = new QAction(menuText, this);
    created->setData(commandId);
    const fw::CommandPrompt prompt =
        fw::StringTable::splitPrompt(fw::Application::get().strings().text(commandId));
    created->setStatusTip(prompt.statusPrompt);
    created->setToolTip(prompt.tooltip.isEmpty() ? menuText : prompt.tooltip);
    // A command stays disabled until the part of the program that handles it takes it up.
    created->setEnabled(false);
    m_actions.insert(commandId, created);
    return created;
}

void CMainFrame::createMenus()
{
    for (const MenuPopup& popup : kMenu) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(popup.title));
        for (const MenuItem& item : popup.items) {
            if (item.command == Separator) {
                menu->addSeparator();
                continue;
            }
            QAction* created = createAction(item.command, plainText(item.text));
            if (item.keys)
                created->setShortcut(QKeySequence(QString::fromLatin1(item.keys)));
            menu->addAction(created);
        }
    }
}

QToolBar* CMainFrame::createToolBar(const QString& title, std::span<const int> commands, int buttonSize)
{
    QToolBar* bar = addToolBar(title);
    bar->setObjectName(title);
    bar->setIconSize(QSize(buttonSize, buttonSize));
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : commands) {
        if (id == Separator) {
            bar->addSeparator();
            continue;
        }
        QAction* command = action(id);
        command->setIcon(ToolbarArt::button(id, buttonSize));
        bar->addAction(command);
    }
    return bar;
}

void CMainFrame::createStatusBar()
{
    for (const QString& text : indicatorTexts()) {
        auto* indicator = new QLabel(text, statusBar());
        indicator->setObjectName(text);
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setMinimumWidth(indicator->fontMetrics().horizontalAdvance(text) + 12);
        statusBar()->addPermanentWidget(indicator);
    }
    statusBar()->showMessage(QStringLiteral("Preparado"));
}
