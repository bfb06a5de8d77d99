#pragma once

#include <QHash>
#include <QMainWindow>

#include <span>

class QAction;
class QLabel;
class QToolBar;

// The one top-level window: menu, main and editing toolbars, status bar and the view.
// Every command has one action, found by its command id; the subsystem that handles a
// command connects to its action and enables it. The status bar's message pane shows the
// prompt of the command under the mouse, else the idle text; a modal window that closes (the
// wait window of a transfer, a dialog) leaves no prompt behind.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);

    QAction* action(int commandId) const;
    QToolBar* mainToolBar() const { return m_mainToolBar; }
    QToolBar* editToolBar() const { return m_editToolBar; }

    // Buttons of the two toolbars in order; 0 stands for a separator.
    static std::span<const int> mainToolBarCommands();
    static std::span<const int> editToolBarCommands();
    // The status-bar indicators after the message pane.
    static QStringList indicatorTexts();
    // What the message pane shows: a command's prompt, or the idle text ("Preparado").
    QString statusText() const;

protected:
    bool event(QEvent* event) override;

private:
    QAction* createAction(int commandId, const QString& menuText);
    void createMenus();
    QToolBar* createToolBar(int toolBarId, std::span<const int> commands, int iconSize);
    void createStatusBar();

    QHash<int, QAction*> m_actions;
    QToolBar* m_mainToolBar = nullptr;
    QToolBar* m_editToolBar = nullptr;
};
