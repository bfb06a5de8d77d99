#include "app/CCfg.h"
#include "app/COrmiApp.h"
#include "app/SetupT38A.h"
#include "fw/ProgramWide.h"
#include "link/CEspereDlg.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // Before Qt connects to a display: without one its default platform aborts the process.
    const StartPlatform platform = COrmiApp::PreparePlatform(argc, argv);
    QApplication qtApp(argc, argv);
    // The program-wide objects, in this order; destroyed in reverse.
    fw::ProgramWide<CCfg>::Scope cfg(30, 10);
    fw::ProgramWide<SetupT38A>::Scope setup;
    COrmiApp app(platform.mode);
    CEspereDlg wait;
    fw::ProgramWide<fw::WaitUi>::Install waitUi(wait);
    if (!app.InitInstance())
        return app.ExitCode();
    return qtApp.exec();
}
