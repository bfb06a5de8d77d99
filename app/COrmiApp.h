#pragma once

#include "app/InternalModeProbe.h"
#include "app/StartPlatform.h"
#include "fw/FrameworkTranslation.h"
#include "fw/ProgramWide.h"
#include "fw/SaveChangesHost.h"
#include "ui/PrinterList.h"

#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class CafDocument;
class CommandLinePrint;
class CMainFrame;
class CMySplashWnd;
class COrmiDoc;
class COrmiView;
class ModelDialogHost;
class QPrinter;
class QtSaveDialogHost;
class SaveDialogHost;
class ViewPrinting;
class WidgetModelDialogHost;
class WidgetPrintDialogs;
class WidgetViewDialogs;
// The management-database export's options dialog.
class ExportOptionsDialogHost;
class WidgetExportOptionsDialogHost;
namespace fw {
class Application;
class FileNamePrompt;
class MessageSink;
class Profile;
class RecentFileList;
class SingleDocTemplate;
class StringTable;
class WidgetFileNamePrompt;
class WidgetMessageSink;
} // namespace fw

// The one application object. Its start-up (InitInstance) chooses the interface language,
// sets up the document layer with the configuration document, the main frame and its view,
// loads the catalogue of model 1, opens the command line's document, shows the main window
// and the splash, and decides the internal mode for the run. It installs the program's real
// seams: file names are asked with the file dialog, the document opens the real machine-model
// dialog (listing prototypes in the internal mode), commands that replace the document ask
// the template's question about unsaved changes. Without a display it prints the command
// line's document with every message a line on standard error, and refuses to start the
// editor. Program-wide while it lives.
class COrmiApp {
public:
    static constexpr int DocTemplateId = 204;
    static constexpr int RecentFileCount = 4;
    static constexpr quint32 SplashBitmap = 155;
    static constexpr quint32 SplashDuration = 2500;
    // "Versión "
    static constexpr int VersionText = 1584;
    // "No se ha podido cargar el catálogo de máquinas del modelo 1. El programa se cerrará."
    static constexpr int CatalogueNotLoadedText = 20700;
    // "No hay ninguna pantalla en la que mostrar el editor. ..."
    static constexpr int NoDisplayText = 20710;
    // The model whose catalogue start-up loads.
    static constexpr int StartModel = 1;
    // The name that starts each message line on standard error.
    static constexpr const char* ProgramName = "ormi";

    // What a test sets instead of the program's own.
    struct Options {
        // The command line after the program's name.
        QStringList arguments;
        // The internal file; empty: the internal mode stays off.
        QString internalFile;
        std::chrono::milliseconds probeLimit = InternalModeProbe::DefaultLimit;
        InternalModeProbe::Opener probeOpener = InternalModeProbe::openForReading;
        // The printer the program prints on; null: a printer of its own (the default one).
        QPrinter* printer = nullptr;
        // What the print system lists, asked when the command line prints.
        std::function<PrinterList()> printers = PrinterList::query;
        // NoDisplay ends the start with its message.
        StartPlatform::Mode platform = StartPlatform::Mode::Windows;
    };

    // Chooses the platform from the environment and the command line, and sets it where it
    // must be forced; called before the application object exists.
    static StartPlatform PreparePlatform(int argc, char* argv[]);

    // The program's: the user's profile, the built-in texts, the process's command line and
    // the internal file the build names; real message boxes, or with a platform that shows
    // nothing (StartPlatform::Mode other than Windows) lines on standard error.
    explicit COrmiApp(StartPlatform::Mode platform = StartPlatform::Mode::Windows);
    // On a framework application of the caller's (a test's profile, texts and boxes).
    COrmiApp(fw::Application& application, Options options);
    ~COrmiApp();
    COrmiApp(const COrmiApp&) = delete;
    COrmiApp& operator=(const COrmiApp&) = delete;

    static COrmiApp& get() { return fw::ProgramWide<COrmiApp>::get(); }

    // True to run the message loop; false ends the program (ExitCode says how).
    bool InitInstance();
    // The interface language's file beside the program, as the profile chooses; a file that
    // does not load leaves the built-in Spanish texts without a word.
    void LoadLanguageDll();
    // 57664: the About box.
    void OnAppAbout();

    // The program's exit code after InitInstance gave false: 0 when the command line's print
    // ran, 1 when start-up or the print failed or there is no display for the editor.
    int ExitCode() const { return m_exitCode; }
    // 1 when the configuration list also offers the prototypes.
    quint8 GetInternalMode() const { return m_internalMode; }

    fw::Application& application() { return *m_application; }
    COrmiDoc& document() { return *m_doc; }
    // Null before InitInstance.
    CMainFrame* frame() const { return m_frame.get(); }
    COrmiView* view() const { return m_view; }
    fw::SingleDocTemplate* docTemplate() const { return m_template.get(); }
    // While it shows.
    CMySplashWnd* splash() const;
    // The language file that was loaded; empty for none.
    const QString& languageFile() const { return m_languageFile; }

private:
    struct Owned;

    COrmiApp(std::unique_ptr<Owned> owned, fw::Application* application, Options options);

    void createDocTemplate();
    bool loadStartCatalogue();
    void showSplash();
    void decideInternalMode();

    std::unique_ptr<Owned> m_owned;
    fw::Application* m_application;
    Options m_options;
    std::unique_ptr<fw::WidgetFileNamePrompt> m_filePrompt;
    std::optional<fw::ProgramWide<fw::FileNamePrompt>::Install> m_filePromptInstall;
    std::unique_ptr<WidgetModelDialogHost> m_modelDialogHost;
    std::optional<fw::ProgramWide<ModelDialogHost>::Install> m_modelDialogHostInstall;
    std::unique_ptr<QPrinter> m_ownPrinter;
    std::unique_ptr<QtSaveDialogHost> m_saveDialogHost;
    std::optional<fw::ProgramWide<SaveDialogHost>::Install> m_saveDialogHostInstall;
    // The management-database export's options dialog.
    std::unique_ptr<WidgetExportOptionsDialogHost> m_exportOptionsHost;
    std::optional<fw::ProgramWide<ExportOptionsDialogHost>::Install> m_exportOptionsHostInstall;
    std::unique_ptr<WidgetViewDialogs> m_viewDialogs;
    std::unique_ptr<COrmiDoc> m_doc;
    std::unique_ptr<CafDocument> m_cafDocument;
    std::unique_ptr<fw::RecentFileList> m_recentFiles;
    std::unique_ptr<CMainFrame> m_frame;
    COrmiView* m_view = nullptr; // the frame's
    std::unique_ptr<WidgetPrintDialogs> m_printDialogs;
    std::unique_ptr<ViewPrinting> m_printing;
    std::unique_ptr<CommandLinePrint> m_commandLinePrint;
    std::unique_ptr<fw::SingleDocTemplate> m_template;
    // Reading a machine asks the template's question about unsaved changes.
    std::optional<fw::ProgramWide<fw::SaveChangesHost>::Install> m_saveChangesInstall;
    QPointer<CMySplashWnd> m_splash;
    QString m_languageFile;
    fw::FrameworkTranslation m_frameworkTranslation;
    quint8 m_internalMode = 0;
    int m_exitCode = 1;
    fw::ProgramWide<COrmiApp>::Install m_install;
};
