#pragma once

#include "fw/WaitState.h"
#include "fw/WaitUi.h"

#include <QDialog>
#include <QTimer>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// The wait and progress window of the machine transfers. The transfer runs on the
// user-interface thread, so the window is application-modal there: it alone takes input
// while a transfer pumps events. The transfer writes the shared state; a 100 ms tick copies it
// into the controls and closes the window when asked to stop, unless a final text waits for
// the user's "Aceptar". The button, Esc and the close box cancel; Enter does nothing.
class CEspereDlg : public QDialog, public fw::WaitUi {
    Q_OBJECT
public:
    static constexpr int TickMs = 100;
    // Detiene lets the closed window settle this long, pumping events.
    static constexpr int SettleMs = 500;
    static constexpr int TemplateId = 101;
    static constexpr int MessageId = 1052;
    static constexpr int ButtonId = 2;
    // The button's text after a final text: "Aceptar".
    static constexpr int ConfirmTextId = 20102;

    explicit CEspereDlg(QWidget* parent = nullptr);

    bool Inicia() override;
    using fw::WaitUi::AsignaMensaje;
    using fw::WaitUi::Termina;
    void AsignaMensaje(const QString& text) override;
    void Termina(const QString& text) override;
    void AsignaProgreso(int percent) override;
    bool EstaActivo() const override { return m_active; }
    void Detiene() override;
    void ProcesaMensajes(bool filtroEntrada) override;

    // The controls as the user sees them.
    QString messageText() const;
    QString buttonText() const;
    int progressValue() const;
    QPushButton* button() const { return m_button; }

public slots:
    void accept() override;
    void reject() override;

private:
    void OnTimer();
    // Puts the state's pending changes on the widgets.
    void showChanges();
    // Pumps events until the condition holds, looking again at every tick and when the
    // window closes.
    void waitUntil(const std::function<bool()>& condition);
    void pumpFor(int milliseconds);

    fw::WaitState m_state;
    QLabel* m_message;
    QProgressBar* m_progress;
    QPushButton* m_button;
    QTimer m_timer;
    bool m_started = false;
    bool m_active = false;
    bool m_stopRequested = false;
};
