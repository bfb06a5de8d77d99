#pragma once

#include "fw/CommandLineInfo.h"
#include "fw/DocTemplateStrings.h"
#include "fw/SaveChangesHost.h"

#include <QList>
#include <QObject>

#include <functional>

class QAction;
class QMainWindow;

namespace fw {

class Document;
class RecentFileList;

// The single-document layer: one document in one frame window. It handles the file commands
// (New, Open, Save, Save As), the recent files, the window title, the question about unsaved
// changes before the document is replaced or the window closes, and the command line's
// document. The frame's actions carry their command ids as data; the template connects and
// enables those it handles, and adds the recent-file entries after the first one. While a
// transfer holds the wait window (WaitUi::transferRunning) the file commands do nothing and
// the window does not close.
class SingleDocTemplate : public QObject, public SaveChangesHost {
    Q_OBJECT
public:
    static constexpr int FileNewCommand = 57600;
    static constexpr int FileOpenCommand = 57601;
    static constexpr int FileSaveCommand = 57603;
    static constexpr int FileSaveAsCommand = 57604;
    static constexpr int FileMruFirstCommand = 57616;
    static constexpr int RecentFileCount = 4;

    // "¿Desea guardar los cambios efectuados en %s?"
    static constexpr int AskToSaveText = 61827;
    // "Sin título"
    static constexpr int UntitledText = 61828;
    // "Todos los archivos (*.*)"
    static constexpr int AllFilesFilterText = 61829;
    // Captions of the file dialogs: "Abrir", "Guardar como".
    static constexpr int OpenCaptionText = 61830;
    static constexpr int SaveAsCaptionText = 61831;
    // "Para imprimir hace falta el nombre del archivo: ..." ("/p" or "/pt" without a file, "/pt"
    // without a printer).
    static constexpr int PrintNeedsFileText = 22800;

    // Prints the open document without a dialog on the named printer (empty: the default
    // one); false when it did not print.
    using DirectPrint = std::function<bool(const QString& printerName)>;

    enum class ShellResult { Run, Done, Failed };

    SingleDocTemplate(const DocTemplateStrings& strings, Document& document, QMainWindow& frame,
                      RecentFileList& recentFiles);

    void setDirectPrint(DirectPrint print) { m_directPrint = std::move(print); }

    // The commands.
    void OnFileNew();
    void OnFileOpen();
    // Save As when the document has no path yet.
    bool OnFileSave();
    bool OnFileSaveAs();
    // Opens entry index of the recent list; an entry that fails to open leaves the list.
    void OnOpenRecentFile(int index);

    // Asks whether to save the changes of a modified document: Yes saves (false when the
    // save fails or is cancelled), No discards, Cancel stops. True when the caller may go on.
    bool SaveModified() override;
    // Saves into the path, or into a name asked for when it is empty (the title proposed,
    // the extension added when none was typed). False when cancelled or failed.
    bool DoSave(const QString& path);
    // Replaces the document by the file; it goes to the top of the recent list. A failure
    // has been reported by the document.
    bool OpenDocumentFile(const QString& path);
    // A new, untitled document.
    void NewDocument();
    // New document, open or print the command line's file. Printing ends the program (Done)
    // whether or not it printed (Failed); a print without a file, or "/pt" without a printer,
    // says what it needs.
    ShellResult ProcessShellCommand(const CommandLineInfo& info);

    // "<title> - <window title>".
    QString frameTitle() const;
    void UpdateFrameTitle();
    void UpdateRecentFileMenu();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* frameAction(int commandId) const;
    void connectCommand(int commandId, const std::function<void()>& handler);
    void createRecentFileActions();
    QString displayTitle() const;
    QString proposedName() const;

    DocTemplateStrings m_strings;
    Document* m_document;
    QMainWindow* m_frame;
    RecentFileList* m_recentFiles;
    QList<QAction*> m_recentActions;
    QString m_emptyRecentText;
    DirectPrint m_directPrint;
};

} // namespace fw
