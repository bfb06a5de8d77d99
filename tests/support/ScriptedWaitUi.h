#pragma once

#include "fw/WaitUi.h"

#include <QStringList>

#include <functional>

// A wait window without a window: records what the transfer shows, keeps what it shows last,
// and answers the pump by script (a test may cancel at a given pass).
class ScriptedWaitUi : public fw::WaitUi {
public:
    bool Inicia() override;
    using fw::WaitUi::AsignaMensaje;
    using fw::WaitUi::Termina;
    void AsignaMensaje(const QString& text) override;
    void Termina(const QString& text) override;
    void AsignaProgreso(int percent) override { progress.append(percent); }
    bool EstaActivo() const override { return active; }
    void Detiene() override;
    void ProcesaMensajes(bool filtroEntrada) override;

    // The user's cancel, as the window's button gives it.
    void cancel() { setCancelled(true); }

    QStringList messages;
    QStringList finalTexts;
    // What the window shows now, and whether its button reads "Aceptar": the window then
    // waits for the user.
    QString shown;
    bool confirming = false;
    QList<int> progress;
    bool active = false;
    int starts = 0;
    int stops = 0;
    int passes = 0;
    // Runs at every pump pass with the pass number (from 1).
    std::function<void(int pass)> onPass;
    // Runs inside Detiene once the window has closed, while it settles and still holds the
    // transfer (the real window pumps events then).
    std::function<void()> onSettle;
};
