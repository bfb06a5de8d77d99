#pragma once

#include "fw/ProgramWide.h"

#include <QString>

#include <atomic>

namespace fw {

// The program's one wait and progress window, as the machine transfers see it. A transfer
// runs on the user-interface thread and pumps events between its steps; the window shows the
// status text, the progress and one button ("Cancelar" while working, "Aceptar" under a final
// text) and carries the user's cancel back. The program installs the real dialog as the
// program-wide one; tests install a scripted one.
class WaitUi {
public:
    virtual ~WaitUi() = default;

    static WaitUi& get() { return ProgramWide<WaitUi>::get(); }
    // A transfer holds the window, from its Inicia to the end of its Detiene (the settling
    // included): one transfer at a time, so no command may start another one or change the
    // document meanwhile. False while no window is installed.
    static bool transferRunning() { return ProgramWide<WaitUi>::exists() && get().EstaActivo(); }

    // Shows the window and returns after its first refresh; false when it is already showing
    // (another transfer holds it) or closed before its first refresh. A transfer whose Inicia
    // fails does not run.
    virtual bool Inicia() = 0;
    // A status text; the button reads "Cancelar".
    virtual void AsignaMensaje(const QString& text) = 0;
    void AsignaMensaje(int stringId);
    // A final text; the button reads "Aceptar" and the window stays until the user presses it.
    virtual void Termina(const QString& text) = 0;
    void Termina(int stringId);
    // Progress in percent; above 100 shows a full bar.
    virtual void AsignaProgreso(int percent) = 0;
    // Between Inicia and the end of Detiene.
    virtual bool EstaActivo() const = 0;
    // Closes the window (after the user's "Aceptar" when a final text shows) and returns once
    // it has settled; the cancelled flag is cleared.
    virtual void Detiene() = 0;
    // One pass of the event pump; with the input filter on, user input waits for a later pass.
    virtual void ProcesaMensajes(bool filtroEntrada) = 0;

    // Set when the user pressed the button, Esc or the close box; cleared by Inicia and Detiene.
    // The T38A transfer hands it to its frame layer as the abort flag.
    const std::atomic<bool>& cancelado() const { return m_cancelled; }
    bool EstaCancelado() const { return m_cancelled.load(); }

protected:
    void setCancelled(bool cancelled) { m_cancelled.store(cancelled); }

private:
    std::atomic<bool> m_cancelled{false};
};

} // namespace fw
