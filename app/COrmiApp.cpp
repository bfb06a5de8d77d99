#include "app/COrmiApp.h"

#include "app/CAboutDlg.h"
#include "app/CCfg.h"
#include "app/CMainFrame.h"
#include "app/COrmiDoc.h"
#include "app/CafDocument.h"
#include "app/CommandIds.h"
#include "fw/Application.h"
#include "fw/ButtonMarginStyle.h"
#include "fw/DocTemplateStrings.h"
#include "fw/LineMessageSink.h"
#include "fw/MessageBoxes.h"
#include "fw/Profile.h"
#include "fw/RecentFileList.h"
#include "fw/SingleDocTemplate.h"
#include "fw/StringTable.h"
#include "fw/WidgetFileNamePrompt.h"
#include "fw/WidgetMessageSink.h"
#include "export/QtSaveDialogHost.h"
#include "export/WidgetExportOptionsDialogHost.h"
#include "ui/AltKeyCommands.h"
#include "ui/CMySplashWnd.h"
#include "ui/CommandLinePrint.h"
#include "ui/COrmiView.h"
#include "ui/ViewPrinting.h"
#include "ui/WidgetModelDialogHost.h"
#include "ui/WidgetPrintDialogs.h"
#include "ui/WidgetViewDialogs.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QPrinter>

#include <clocale>

namespace {

const QString OrmiSection = QStringLiteral("Ormi");
const QString LegacySection = QStringLiteral("Configuracion");
const QString LanguageValue = QStringLiteral("Idioma");
const QString InternalModeOffValue = QStringLiteral("DesactivarModoPemvora");
// No language was ever chosen.
constexpr int NoLanguage = -1;

// A profile language value: its file beside the program (none for the built-in Spanish) and
// the locale of Qt's own texts.
struct InterfaceLanguage {
    const char* file;
    const char* qtLocale;
};

InterfaceLanguage interfaceLanguage(int idioma)
{
    switch (idioma) {
    case 0: return {"", "es"};
    case 1: return {"OrmiFran.lng", "fr"};
    case 2: return {"OrmiEngl.lng", "en"};
    case 3: return {"OrmiPort.lng", "pt_BR"}; // the only Portuguese Qt ships
    case 4: return {"OrmiGerm.lng", "de"};
    default: return {"OrmiEng.lng", "en"};
    }
}

} // namespace

// The framework objects the program's own application owns; a test brings its own. Where no
// one can click a box, every message is a line on standard error.
struct COrmiApp::Owned {
    explicit Owned(bool boxes)
        : application(profile, strings, boxes ? static_cast<fw::MessageSink&>(messages) : lines)
    {
    }

    fw::Profile profile;
    fw::StringTable strings;
    fw::WidgetMessageSink messages;
    fw::LineMessageSink lines{stderr, QString::fromLatin1(ProgramName)};
    fw::Application application;
};

StartPlatform COrmiApp::PreparePlatform(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const StartPlatform platform = StartPlatform::choose(QProcessEnvironment::systemEnvironment(), arguments);
    if (!platform.forcedPlatform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform.forcedPlatform);
    return platform;
}

COrmiApp::COrmiApp(StartPlatform::Mode platform)
    : COrmiApp(std::make_unique<Owned>(platform == StartPlatform::Mode::Windows), nullptr,
               Options{.arguments = QCoreApplication::arguments().mid(1),
                       .internalFile = QStringLiteral(ORMI_INTERNAL_FILE),
                       .platform = platform})
{
}

COrmiApp::COrmiApp(fw::Application& application, Options options)
    : COrmiApp(nullptr, &application, std::move(options))
{
}

COrmiApp::COrmiApp(std::unique_ptr<Owned> owned, fw::Application* application, Options options)
    : m_owned(std::move(owned))
    , m_application(application ? application : &m_owned->application)
    , m_options(std::move(options))
    , m_filePrompt(std::make_unique<fw::WidgetFileNamePrompt>())
    , m_modelDialogHost(std::make_unique<WidgetModelDialogHost>())
    , m_install(*this)
{
    m_filePromptInstall.emplace(*m_filePrompt);
    m_modelDialogHostInstall.emplace(*m_modelDialogHost);
}

COrmiApp::~COrmiApp()
{
    delete m_splash.data();
}

bool COrmiApp::InitInstance()
{
    std::setlocale(LC_ALL, "");
    // The profile lives under the maker's key, whatever the program's name.
    QCoreApplication::setOrganizationName(QString::fromLatin1(fw::Profile::Organization));
    QCoreApplication::setApplicationName(m_application->name());
    // Before any window: every button takes its width from its text in the chosen language.
    fw::ButtonMarginStyle::install();
    LoadLanguageDll();
    if (m_options.platform == StartPlatform::Mode::NoDisplay) {
        // Said in the user's language; nothing else of the start is done.
        fw::MessageBoxes::box(m_application->strings().text(NoDisplayText), fw::MessageButtons::Ok,
                              fw::MessageIcon::Stop);
        return false;
    }
    m_recentFiles = std::make_unique<fw::RecentFileList>(m_application->profile(), RecentFileCount);
    m_recentFiles->ReadList();
    createDocTemplate();
    m_saveChangesInstall.emplace(*m_template);
    const fw::CommandLineInfo commandLine = fw::CommandLineInfo::parse(m_options.arguments);
    if (!loadStartCatalogue())
        return false;
    switch (m_template->ProcessShellCommand(commandLine)) {
    case fw::SingleDocTemplate::ShellResult::Run:
        break;
    case fw::SingleDocTemplate::ShellResult::Done:
        m_exitCode = 0;
        return false;
    case fw::SingleDocTemplate::ShellResult::Failed:
        return false;
    }
    m_view->OnInitialUpdate();
    m_frame->showNormal();
    m_frame->update();
    showSplash();
    decideInternalMode();
    return true;
}

CMySplashWnd* COrmiApp::splash() const { return m_splash.data(); }

void COrmiApp::LoadLanguageDll()
{
    fw::Profile& profile = m_application->profile();
    int idioma = profile.GetInt(OrmiSection, LanguageValue, NoLanguage);
    if (idioma == NoLanguage) {
        idioma = profile.GetInt(LegacySection, LanguageValue, 0);
        profile.WriteInt(OrmiSection, LanguageValue, idioma);
    }
    const InterfaceLanguage language = interfaceLanguage(idioma);
    // Without the system's Qt translations its dialogs stay in English; nothing else depends on them.
    m_frameworkTranslation.install(QString::fromLatin1(language.qtLocale));
    const QString fileName = QString::fromLatin1(language.file);
    if (fileName.isEmpty())
        return;
    const QString path = QDir(m_application->programFolder()).filePath(fileName);
    // A file that does not load leaves the built-in texts, without a word.
    if (m_application->strings().loadLanguage(path))
        m_languageFile = fileName;
}

void COrmiApp::OnAppAbout()
{
    CAboutDlg dialog(m_frame.get());
    dialog.exec();
}

void COrmiApp::createDocTemplate()
{
    const fw::DocTemplateStrings strings = fw::DocTemplateStrings::parse(m_application->strings().text(DocTemplateId));
    m_doc = std::make_unique<COrmiDoc>();
    m_cafDocument = std::make_unique<CafDocument>(*m_doc);
    m_frame = std::make_unique<CMainFrame>();
    m_frame->resize(800, 600);
    if (m_owned)
        m_owned->messages.setOwner(m_frame.get());
    m_filePrompt->setOwner(m_frame.get());
    m_modelDialogHost->setOwner(m_frame.get());

    m_view = new COrmiView(m_frame.get());
    m_view->SetDocument(m_doc.get());
    m_frame->setCentralWidget(m_view);
    QPrinter* printer = m_options.printer;
    if (!printer) {
        m_ownPrinter = std::make_unique<QPrinter>();
        printer = m_ownPrinter.get();
    }
    m_printDialogs = std::make_unique<WidgetPrintDialogs>(m_frame.get());
    m_printing = std::make_unique<ViewPrinting>(*m_view, *printer, *m_printDialogs);
    m_printing->ConnectCommands(*m_frame);
    // The view's commands, their dialogs and the .prg export's save dialog.
    m_saveDialogHost = std::make_unique<QtSaveDialogHost>(m_frame.get());
    m_saveDialogHostInstall.emplace(*m_saveDialogHost);
    // The management-database export's options dialog.
    m_exportOptionsHost = std::make_unique<WidgetExportOptionsDialogHost>(m_frame.get());
    m_exportOptionsHostInstall.emplace(*m_exportOptionsHost);
    m_viewDialogs = std::make_unique<WidgetViewDialogs>(m_frame.get());
    m_view->SetDialogs(m_viewDialogs.get());
    m_view->ConnectCommands(*m_frame);
    new AltKeyCommands(*m_frame);

    m_template = std::make_unique<fw::SingleDocTemplate>(strings, *m_cafDocument, *m_frame, *m_recentFiles);
    // "/p" and "/pt" print through the view's print without a dialog.
    m_commandLinePrint = std::make_unique<CommandLinePrint>(*m_printing, *printer, m_options.printers);
    m_template->setDirectPrint([this](const QString& printerName) { return m_commandLinePrint->Run(printerName); });

    QAction* about = m_frame->action(CommandIds::AppAbout);
    QObject::connect(about, &QAction::triggered, m_frame.get(), [this] { OnAppAbout(); });
    about->setEnabled(true);
}

bool COrmiApp::loadStartCatalogue()
{
    CCfg& cfg = fw::ProgramWide<CCfg>::get();
    CCfg::LoadResult result = cfg.LoadDeviceTypes(StartModel);
    if (result == CCfg::LoadResult::Loaded)
        result = cfg.LoadDispenserTable(StartModel);
    switch (result) {
    case CCfg::LoadResult::Loaded:
        return cfg.LoadProductNames();
    case CCfg::LoadResult::FileMissing:
        // The loader has named the missing file.
        return false;
    case CCfg::LoadResult::NoFileNamed:
        break;
    }
    // Nothing told the user yet why the program ends.
    fw::MessageBoxes::box(m_application->strings().text(CatalogueNotLoadedText), fw::MessageButtons::Ok,
                          fw::MessageIcon::Stop);
    return false;
}

void COrmiApp::showSplash()
{
    const fw::StringTable& strings = m_application->strings();
    const QString text = strings.text(VersionText) + QLatin1String(CAboutDlg::Version);
    auto* splash = new CMySplashWnd(SplashBitmap, SplashDuration, text);
    if (!splash->Create()) {
        delete splash;
        return;
    }
    m_splash = splash;
}

void COrmiApp::decideInternalMode()
{
    m_internalMode = 0;
    if (InternalModeProbe(m_options.internalFile, m_options.probeLimit, m_options.probeOpener).Run())
        m_internalMode = 1;
    if (m_application->profile().GetInt(OrmiSection, InternalModeOffValue, 0) == 1)
        m_internalMode = 0;
    // The flag is decided once for the run; the model dialog lists by it from now on.
    m_modelDialogHost->setMode(m_internalMode ? LeeDbConfiguraciones::Mode::Internal
                                              : LeeDbConfiguraciones::Mode::Normal);
}
