#include "app/CAboutDlg.h"
#include "app/CCfg.h"
#include "app/CMainFrame.h"
#include "app/COrmiDoc.h"
#include "app/CommandIds.h"
#include "app/ModelDialogHost.h"
#include "app/SetupT38A.h"
#include "export/QtSaveDialogHost.h"
#include "fw/Application.h"
#include "fw/Profile.h"
#include "fw/ProgramWide.h"
#include "fw/StringTable.h"
#include "fw/WidgetMessageSink.h"
#include "ui/AltKeyCommands.h"
#include "ui/COrmiView.h"
#include "ui/ViewPrinting.h"
#include "ui/WidgetModelDialogHost.h"
#include "ui/WidgetViewDialogs.h"
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
    // Until start-up loads it: an empty catalogue and the default T38A set-up tables.
    fw::ProgramWide<CCfg>::Scope catalogue(30, 10);
    fw::ProgramWide<SetupT38A>::Scope setupT38A;
    WidgetModelDialogHost modelDialogs;
    fw::ProgramWide<ModelDialogHost>::Install modelDialogHost(modelDialogs);

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
    QtSaveDialogHost saveDialogs(&frame);
    fw::ProgramWide<SaveDialogHost>::Install saveDialogHost(saveDialogs);
    WidgetViewDialogs viewDialogs(&frame);
    view->SetDialogs(&viewDialogs);
    view->ConnectCommands(frame);
    new AltKeyCommands(frame);
    document.OnNewDocument();
    view->OnInitialUpdate();

    frame.resize(800, 600);
    frame.show();
    return qtApp.exec();
}
