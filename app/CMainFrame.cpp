#include "app/CMainFrame.h"

#include "app/CommandIds.h"
#include "app/ToolbarArt.h"
#include "fw/Application.h"

#include <QAction>
#include <QEvent>
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

// Menu 204; each item's text is the string table's menu text of its command, each popup's
// the popup text of its position.
struct MenuItem {
    int command; // Separator for a line
    const char* keys; // the keys that work (the menu text may show others)
};

using MenuPopup = std::initializer_list<MenuItem>;

const MenuPopup kMenu[] = {
    {{FileNew, "Ctrl+N"},
      {FileOpen, "Ctrl+O"},
      {FileSave, "Ctrl+S"},
      {FileSaveAs, nullptr},
      {Separator, nullptr},
      {FilePrint, "Ctrl+P"},
      {FilePrintPreview, nullptr},
      {FilePrintSetup, nullptr},
      {Separator, nullptr},
      {FileMruFirst, nullptr},
      {Separator, nullptr},
      {AppExit, nullptr}},
    {{NuevoProducto, "Alt+N"},
      {NuevoDispositivo, "Alt+D"},
      {Editar, "Alt+E"},
      {Borrar, "Alt+B"},
      {Insertar, "Alt+I"}},
    {{ViewToolbar, nullptr}, {ViewStatusBar, nullptr}},
    {{SeleccionarPuertoSerie, nullptr},
      {GrabarRs232, nullptr},
      {LeerRs232, nullptr},
      {ExportarZentrolux, nullptr},
      {ExportarQuorvanel, nullptr},
      {Checksum, nullptr},
      {Separator, nullptr},
      {ConfiguracionAzucar, nullptr},
      {TemperaturaTrabajo, nullptr},
      {ModeloMaquina, nullptr},
      {IdiomaNombresProductos, nullptr},
      {IdiomaSoftware, nullptr},
      {ParametrizacionMaquina, nullptr}},
    {{AppAbout, nullptr}},
};

// Toolbars 204 and 206.
constexpr int MainToolBarId = 204;
constexpr int EditToolBarId = 206;
constexpr int MainToolBarButtonSize = 30;
constexpr int EditToolBarButtonSize = 24;
// The framework's idle prompt and status-bar indicators.
constexpr int IdleMessageText = 57345;
constexpr int IndicatorTexts[] = {59137, 59138, 59139};

QString tableText(const fw::TextKey& key) { return fw::Application::get().strings().text(key); }

// Menu text without the shown keys: Qt shows them from the shortcut itself.
QString plainText(const QString& menuText) { return menuText.left(menuText.indexOf(QLatin1Char('\t'))); }

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
    m_mainToolBar = createToolBar(MainToolBarId, mainToolBarCommands(), MainToolBarButtonSize);
    addToolBarBreak(Qt::TopToolBarArea);
    m_editToolBar = createToolBar(EditToolBarId, editToolBarCommands(), EditToolBarButtonSize);
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
    QStringList texts;
    for (int id : IndicatorTexts)
        texts << tableText(fw::TextKey::string(id));
    return texts;
}

QAction* CMainFrame::createAction(int commandId, const QString& menuText)
{
    if (QAction* existing = action(commandId))
        return existing;
    auto* created = new QAction(menuText, this);
    created->setData(commandId);
    created->setIcon(ToolbarArt::icon(commandId));
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
    int position = 0;
    for (const MenuPopup& popup : kMenu) {
        QMenu* menu = menuBar()->addMenu(tableText(fw::TextKey::popup(position++)));
        for (const MenuItem& item : popup) {
            if (item.command == Separator) {
                menu->addSeparator();
                continue;
            }
            QAction* created = createAction(item.command, plainText(tableText(fw::TextKey::menu(item.command))));
            if (item.keys)
                created->setShortcut(QKeySequence(QString::fromLatin1(item.keys)));
            menu->addAction(created);
        }
    }
}

QToolBar* CMainFrame::createToolBar(int toolBarId, std::span<const int> commands, int iconSize)
{
    QToolBar* bar = addToolBar(tableText(fw::TextKey::toolbar(toolBarId)));
    bar->setObjectName(QStringLiteral("toolbar%1").arg(toolBarId));
    bar->setIconSize(QSize(iconSize, iconSize));
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : commands) {
        if (id == Separator) {
            bar->addSeparator();
            continue;
        }
        bar->addAction(action(id));
    }
    return bar;
}

bool CMainFrame::event(QEvent* event)
{
    // Whatever the pane showed when the modal window opened is stale by now.
    if (event->type() == QEvent::WindowUnblocked)
        statusBar()->clearMessage();
    return QMainWindow::event(event);
}

QString CMainFrame::statusText() const { return statusBar()->currentMessage(); }

void CMainFrame::createStatusBar()
{
    for (const QString& text : indicatorTexts()) {
        auto* indicator = new QLabel(text, statusBar());
        indicator->setObjectName(text);
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setMinimumWidth(indicator->fontMetrics().horizontalAdvance(text) + 12);
        statusBar()->addPermanentWidget(indicator);
    }
    // A prompt takes the message pane while it shows; once it is cleared (the mouse leaves
    // its button or menu item, a modal window closes) the idle text is back.
    const QString idle = tableText(fw::TextKey::string(IdleMessageText));
    connect(statusBar(), &QStatusBar::messageChanged, this, [this, idle](const QString& message) {
        if (message.isEmpty())
            statusBar()->showMessage(idle);
    });
    statusBar()->showMessage(idle);
}
