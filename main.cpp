#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/COrmiDoc.h"
#include "app/CommandIds.h"
#include "fw/Application.h"
#include "fw/Profile.h"
#include "fw/StringTable.h"
#include "fw/WidgetMessageSink.h"
#include "ui/COrmiView.h"
#include "ui/ViewPrinting.h"
#include "ui/WidgetPrintDialogs.h"

#include <QAction>
#include <QApplication>
#include <QPrinter>

int main(int argc, char* argv[])
{
    QApplication qtApp(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(fw::Profile::Organization));
    QApplication::setApplicationName(QStringLiteral("Ormi"));

    fw::Profile profile;
    fw::StringTable strings;
    fw::WidgetMessageSink messages;
    fw::Application application(profile, strings, messages);

    // The document outlives the frame and its view.
    COrmiDoc document;
    CMainFrame frame;
    messages.setOwner(&frame);
    QAction* about = frame.action(CommandIds::AppAbout);
    about->setEnabled(true);
    QObject::connect(about, &QAction::triggered, &frame, [&frame] {
        CAboutDlg dialog(&frame);
        dialog.exec();
    });
    // The view on a new document, printing on the last printer used.
    auto* view = new COrmiView(&frame);
    view->SetDocument(&document);
    frame.setCentralWidget(view);
    QPrinter printer;
    WidgetPrintDialogs printDialogs(&frame);
    ViewPrinting printing(*view, printer, printDialogs);
    printing.ConnectCommands(frame);
    document.OnNewDocument();
    view->OnInitialUpdate();

    frame.resize(800, 600);
    frame.show();
    return qtApp.exec();
}
