#include "link/CEspereDlg.h"

#include "fw/Application.h"
#include "fw/DialogFit.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString text(int id) { return fw::Application::get().strings().text(id); }
// The caption (NoControl) or a control's text.
QString templateText(int controlId)
{
    return fw::Application::get().strings().text(fw::TextKey::dialog(CEspereDlg::TemplateId, controlId));
}
QString waitText() { return templateText(CEspereDlg::MessageId); }
QString cancelText() { return templateText(CEspereDlg::ButtonId); }
} // namespace

CEspereDlg::CEspereDlg(QWidget* parent)
    : QDialog(parent)
    , m_message(new QLabel(this))
    , m_progress(new QProgressBar(this))
    , m_button(new QPushButton(this))
{
    setWindowTitle(templateText(fw::TextKey::NoControl));
    setWindowModality(Qt::ApplicationModal);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_message->setText(waitText());
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_message->setWordWrap(true);
    m_message->setMinimumSize(324, 48);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setMinimumHeight(24);
    m_button->setText(cancelText());
    // Enter must not press the button: only a click, Space on it, Esc or the close box cancel.
    m_button->setAutoDefault(false);
    m_button->setDefault(false);
    m_button->setMinimumWidth(90);
    connect(m_button, &QPushButton::clicked, this, &CEspereDlg::reject);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(m_button);
    buttonRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->setSpacing(14);
    layout->addWidget(m_message, 1);
    layout->addWidget(m_progress);
    layout->addLayout(buttonRow);
    fw::DialogFit::fitCaption(*this, *m_progress);

    m_timer.setInterval(TickMs);
    connect(&m_timer, &QTimer::timeout, this, &CEspereDlg::OnTimer);
    connect(this, &QDialog::finished, &m_timer, &QTimer::stop);
}

bool CEspereDlg::Inicia()
{
    if (m_active)
        return false;
    setCancelled(false);
    m_started = false;
    m_active = true;
    m_stopRequested = false;
    m_state.reset(waitText(), cancelText());
    // A window used before still holds the last transfer's final text until the first tick.
    showChanges();
    show();
    m_timer.start();
    waitUntil([this] { return m_started || !isVisible(); });
    if (!m_started) {
        m_active = false;
        return false;
    }
    ProcesaMensajes(false);
    return true;
}

void CEspereDlg::AsignaMensaje(const QString& message) { m_state.setMessage(message, cancelText()); }

void CEspereDlg::Termina(const QString& message) { m_state.finish(message, text(ConfirmTextId)); }

void CEspereDlg::AsignaProgreso(int percent) { m_state.setProgress(percent); }

void CEspereDlg::Detiene()
{
    m_stopRequested = true;
    waitUntil([this] { return !isVisible(); });
    setCancelled(false);
    pumpFor(SettleMs);
    m_active = false;
}

void CEspereDlg::ProcesaMensajes(bool filtroEntrada)
{
    QCoreApplication::processEvents(filtroEntrada ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents);
}

QString CEspereDlg::messageText() const { return m_message->text(); }
QString CEspereDlg::buttonText() const { return m_button->text(); }
int CEspereDlg::progressValue() const { return m_progress->value(); }

void CEspereDlg::accept()
{
    // Enter does nothing: the window closes only by the user's cancel or when the transfer stops.
}

void CEspereDlg::reject()
{
    setCancelled(true);
    QDialog::reject();
}

void CEspereDlg::showChanges()
{
    if (const auto shown = m_state.takeChanges()) {
        m_message->setText(shown->message);
        m_button->setText(shown->button);
        // The bar ignores values outside its range; more than 100 shows full.
        m_progress->setValue(qBound(0, shown->progress, 100));
    }
}

void CEspereDlg::OnTimer()
{
    showChanges();
    if (m_stopRequested && !m_state.isDone() && isVisible())
        done(QDialog::Accepted);
    m_started = true;
}

void CEspereDlg::waitUntil(const std::function<bool()>& condition)
{
    if (condition())
        return;
    QEventLoop loop;
    const auto check = [&] {
        if (condition())
            loop.quit();
    };
    connect(&m_timer, &QTimer::timeout, &loop, check);
    connect(this, &QDialog::finished, &loop, check);
    loop.exec();
}

void CEspereDlg::pumpFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}
