#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "fw/Application.h"
#include "fw/Profile.h"
#include "fw/StringTable.h"
#include "fw/WidgetMessageSink.h"

#include <QAction>
#include <QApplication>

namespace {
CMainFrame* g_mainFrame = nullptr;
QWidget* mainWindow() { return g_mainFrame; }
} // namespace

int main(int argc, char* argv[])
{
    QApplication qtApp(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(fw::Profile::Organization));
    QApplication::setApplicationName(QStringLiteral("Ormi"));

    fw::Profile profile;
    fw::StringTable strings;
    fw::WidgetMessageSink messages(&mainWindow);
    fw::Application application(profile, strings, messages);

    CMainFrame frame;
    g_mainFrame = &frame;
    QAction* about = frame.action(CommandIds::AppAbout);
    about->setEnabled(true);
    QObject::connect(about, &QAction::triggered, &frame, [&frame] {
        CAboutDlg dialog(&frame);
        dialog.exec();
    });
    frame.resize(800, 600);
    frame.show();
    const int result = qtApp.exec();
    g_mainFrame = nullptr;
    return result;
}
