#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "fw/Application.h"
#include "fw/Profile.h"
#include "fw/StringTable.h"
#include "fw/WidgetMessageSink.h"

#include <QAction>
#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qtApp(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(fw::Profile::Organization));
    QApplication::setApplicationName(QStringLiteral("Ormi"));

    fw::Profile profile;
    fw::StringTable strings;
    fw::WidgetMessageSink messages;
    fw::Application application(profile, strings, messages);

    CMainFrame frame;
    messages.setOwner(&frame);
    QAction* about = frame.action(CommandIds::AppAbout);
    about->setEnabled(true);
    QObject::connect(about, &QAction::triggered, &frame, [&frame] {
        CAboutDlg dialog(&frame);
        dialog.exec();
    });
    frame.resize(800, 600);
    frame.show();
    return qtApp.exec();
}
