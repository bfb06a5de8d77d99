#include "fw/SingleDocTemplate.h"

#include "fw/Application.h"
#include "fw/Document.h"
#include "fw/FileNamePrompt.h"
#include "fw/MessageBoxes.h"
#include "fw/ProgramWide.h"
#include "fw/RecentFileList.h"
#include "fw/WaitUi.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QRegularExpression>

namespace fw {

namespace {

QString text(int id) { return Application::get().strings().text(id); }

// A name shown in a menu: '&' marks the mnemonic there.
QString menuEscaped(QString name) { return name.replace(QLatin1Char('&'), QStringLiteral("&&")); }

} // namespace

SingleDocTemplate::SingleDocTemplate(const DocTemplateStrings& strings, Document& document, QMainWindow& frame,
                                     RecentFileList& recentFiles)
    : m_strings(strings)
    , m_document(&document)
    , m_frame(&frame)
    , m_recentFiles(&recentFiles)
{
    connectCommand(FileNewCommand, [this] { OnFileNew(); });
    connectCommand(FileOpenCommand, [this] { OnFileOpen(); });
    connectCommand(FileSaveCommand, [this] { OnFileSave(); });
    connectCommand(FileSaveAsCommand, [this] { OnFileSaveAs(); });
    createRecentFileActions();
    m_frame->installEventFilter(this);
    UpdateRecentFileMenu();
}

void SingleDocTemplate::OnFileNew()
{
    if (SaveModified())
        NewDocument();
}

void SingleDocTemplate::OnFileOpen()
{
    if (!SaveModified())
        return;
    FileNameRequest request;
    request.mode = FileNameRequest::Mode::Open;
    request.caption = text(OpenCaptionText);
    request.filters = QStringList{m_strings.filterName, text(AllFilesFilterText)};
    const std::optional<QString> path = ProgramWide<FileNamePrompt>::get().ask(request);
    if (path)
        OpenDocumentFile(*path);
}

bool SingleDocTemplate::OnFileSave() { return DoSave(m_document->pathName()); }

bool SingleDocTemplate::OnFileSaveAs() { return DoSave(QString()); }

void SingleDocTemplate::OnOpenRecentFile(int index)
{
    if (index < 0 || index >= m_recentFiles->files().size() || !SaveModified())
        return;
    if (!OpenDocumentFile(m_recentFiles->files().at(index))) {
        m_recentFiles->Remove(index);
        UpdateRecentFileMenu();
    }
}

bool SingleDocTemplate::SaveModified()
{
    if (!m_document->isModified())
        return true;
    Message question;
    question.kind = MessageKind::Framework;
    question.text = Application::get().strings().format(AskToSaveText, {displayTitle()});
    question.caption = Application::get().name();
    question.buttons = MessageButtons::YesNoCancel;
    question.icon = MessageIcon::Warning;
    question.defaultAnswer = MessageAnswer::Yes;
    switch (Application::get().messages().show(question)) {
    case MessageAnswer::Yes: return OnFileSave();
    case MessageAnswer::No: return true;
    case MessageAnswer::Cancel:
    case MessageAnswer::Ok: break;
    }
    return false;
}

bool SingleDocTemplate::DoSave(const QString& path)
{
    QString name = path;
    if (name.isEmpty()) {
        FileNameRequest request;
        request.mode = FileNameRequest::Mode::Save;
        request.caption = text(SaveAsCaptionText);
        request.proposedName = proposedName();
        request.filters = QStringList{m_strings.filterName, text(AllFilesFilterText)};
        const std::optional<QString> chosen = ProgramWide<FileNamePrompt>::get().ask(request);
        if (!chosen || chosen->isEmpty())
            return false;
        name = *chosen;
        if (QFileInfo(name).suffix().isEmpty() && !m_strings.filterExt.isEmpty())
            name += m_strings.filterExt;
    }
    const bool saved = m_document->saveDocument(name);
    if (saved)
        m_recentFiles->Add(name);
    UpdateRecentFileMenu();
    UpdateFrameTitle();
    return saved;
}

bool SingleDocTemplate::OpenDocumentFile(const QString& path)
{
    const bool opened = m_document->openDocument(path);
    if (opened)
        m_recentFiles->Add(path);
    UpdateRecentFileMenu();
    UpdateFrameTitle();
    return opened;
}

void SingleDocTemplate::NewDocument()
{
    m_document->newDocument();
    m_document->setTitle(text(UntitledText));
    UpdateFrameTitle();
}

SingleDocTemplate::ShellResult SingleDocTemplate::ProcessShellCommand(const CommandLineInfo& info)
{
    using Command = CommandLineInfo::ShellCommand;
    if (info.shellCommand == Command::FileNew) {
        NewDocument();
        return ShellResult::Run;
    }
    // "/pt" names its printer: without one it would print on another.
    if (info.fileName.isEmpty() || (info.shellCommand == Command::FilePrintTo && info.printerName.isEmpty())) {
        MessageBoxes::box(text(PrintNeedsFileText), MessageButtons::Ok, MessageIcon::Warning);
        return ShellResult::Failed;
    }
    if (!OpenDocumentFile(info.fileName))
        return ShellResult::Failed;
    if (info.shellCommand == Command::FileOpen)
        return ShellResult::Run;
    return m_directPrint && m_directPrint(info.printerName) ? ShellResult::Done : ShellResult::Failed;
}

QString SingleDocTemplate::frameTitle() const { return displayTitle() + QStringLiteral(" - ") + m_strings.windowTitle; }

void SingleDocTemplate::UpdateFrameTitle() { m_frame->setWindowTitle(frameTitle()); }

void SingleDocTemplate::UpdateRecentFileMenu()
{
    const QStringList& files = m_recentFiles->files();
    const QString folder = QDir::currentPath();
    for (int i = 0; i < m_recentActions.size(); ++i) {
        QAction* entry = m_recentActions.at(i);
        if (i < files.size()) {
            entry->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(menuEscaped(m_recentFiles->GetDisplayName(i, folder))));
            entry->setStatusTip(QDir::toNativeSeparators(files.at(i)));
            entry->setEnabled(true);
            entry->setVisible(true);
            continue;
        }
        // With no recent file the first entry stays, greyed, with the menu's own text.
        const bool placeholder = i == 0;
        entry->setText(placeholder ? m_emptyRecentText : QString());
        entry->setStatusTip(placeholder ? text(FileMruFirstCommand) : QString());
        entry->setEnabled(false);
        entry->setVisible(placeholder);
    }
}

bool SingleDocTemplate::eventFilter(QObject* watched, QEvent* event)
{
    // The window stays while a transfer runs or settles, which pumps its events.
    if (watched == m_frame && event->type() == QEvent::Close && (WaitUi::transferRunning() || !SaveModified())) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

QAction* SingleDocTemplate::frameAction(int commandId) const
{
    for (QAction* action : m_frame->findChildren<QAction*>()) {
        if (action->data().toInt() == commandId)
            return action;
    }
    return nullptr;
}

void SingleDocTemplate::connectCommand(int commandId, const std::function<void()>& handler)
{
    QAction* action = frameAction(commandId);
    if (!action)
        return;
    connect(action, &QAction::triggered, this, [handler] {
        // No file command replaces or saves the document while a transfer runs or settles.
        if (!WaitUi::transferRunning())
            handler();
    });
    action->setEnabled(true);
}

void SingleDocTemplate::createRecentFileActions()
{
    QAction* first = frameAction(FileMruFirstCommand);
    if (!first)
        return;
    m_emptyRecentText = first->text();
    m_recentActions.append(first);
    QMenu* menu = nullptr;
    for (QObject* owner : first->associatedObjects()) {
        if ((menu = qobject_cast<QMenu*>(owner)))
            break;
    }
    const QList<QAction*> menuActions = menu ? menu->actions() : QList<QAction*>();
    const qsizetype firstAt = menuActions.indexOf(first);
    QAction* before = firstAt >= 0 ? menuActions.value(firstAt + 1) : nullptr;
    for (int i = 1; i < RecentFileCount; ++i) {
        auto* entry = new QAction(m_frame);
        entry->setData(FileMruFirstCommand + i);
        if (menu)
            menu->insertAction(before, entry);
        m_recentActions.append(entry);
    }
    for (int i = 0; i < m_recentActions.size(); ++i)
        connect(m_recentActions.at(i), &QAction::triggered, this, [this, i] {
            if (!WaitUi::transferRunning())
                OnOpenRecentFile(i);
        });
}

QString SingleDocTemplate::displayTitle() const
{
    const QString title = m_document->title();
    return title.isEmpty() ? text(UntitledText) : title;
}

QString SingleDocTemplate::proposedName() const
{
    if (!m_document->pathName().isEmpty())
        return m_document->pathName();
    QString name = displayTitle();
    // Characters that cannot stand in a file name end the proposal.
    const qsizetype bad = name.indexOf(QRegularExpression(QStringLiteral("[/\\\\:]")));
    if (bad >= 0)
        name.truncate(bad);
    return name + m_strings.filterExt;
}

} // namespace fw
