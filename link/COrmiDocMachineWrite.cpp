#include "app/COrmiDoc.h"

#include "fw/Application.h"
#include "fw/Clock.h"
#include "fw/WaitUi.h"
#include "link/CGrabador.h"
#include "link/CGrabadorT38A.h"
#include "link/MemoryImageWriter.h"
#include "link/SerialPort.h"

// The document's machine write lives in the link library, which builds on the document.

void COrmiDoc::WriteToMachine()
{
    // One transfer at a time: the one that runs or settles may be reading into this document.
    if (fw::WaitUi::transferRunning() || !SelectMachineModel())
        return;
    SerialPort port;
    fw::WaitUi& wait = fw::WaitUi::get();
    fw::Profile& profile = fw::Application::get().profile();
    if (IsT38AFamily()) {
        CGrabadorT38A recorder(wait, profile, fw::Clock::System());
        recorder.AsignaClave(false);
        if (recorder.Conecta(&port))
            ConfigureMachineT38A(recorder);
        recorder.Finaliza();
        recorder.CierraEspera();
        return;
    }
    CGrabador recorder(wait, profile, fw::Clock::System(), false);
    recorder.AsignaLinea1(ConnectingText);
    switch (recorder.Conecta(&port)) {
    case 0:
        return;
    case 2:
        ConfigureMachine(recorder);
        return;
    default:
        MemoryImageWriter(*this, recorder).Run();
        return;
    }
}

bool COrmiDoc::ConfigureMachine(CGrabador& recorder)
{
    recorder.AsignaLinea1(ConfiguringText);
    recorder.MuestraProgreso(0);
    // A record the recorder refused does not always stop the compile step; the last record's
    // confirmation must stand before the success is shown.
    if (!CompileProgram(recorder) || recorder.HaFallado() || !recorder.settle())
        return false;
    recorder.MuestraResultado(ConfiguredText);
    return true;
}

bool COrmiDoc::ConfigureMachineT38A(CGrabadorT38A& recorder)
{
    recorder.AsignaLinea1(ConfiguringText);
    recorder.MuestraProgreso(0);
    if (!CompileProgram(recorder) || recorder.HaFallado())
        return false;
    recorder.MuestraResultado(ConfiguredText);
    recorder.MuestraProgreso(100);
    return true;
}
