#include "link/CEspereDlg.h"

#include "tests/support/TestApplication.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

void wait(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void pressKey(QWidget& widget, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &release);
}

// Records the texts a window shows at the moment it appears.
class ShowWatcher : public QObject {
public:
    explicit ShowWatcher(CEspereDlg& dialog)
        : m_dialog(dialog)
    {
        dialog.installEventFilter(this);
    }
    QStringList shown;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            shown << m_dialog.messageText() + QLatin1Char('|') + m_dialog.buttonText();
        return false;
    }

private:
    CEspereDlg& m_dialog;
};

class CEspereDlgTest : public ::testing::Test {
protected:
    // Runs the action once the event loop that is waiting meanwhile gets to it.
    void later(int milliseconds, std::function<void()> action)
    {
        QTimer::singleShot(milliseconds, &dialog, std::move(action));
    }

    TestApplication app;
    CEspereDlg dialog;
};

TEST_F(CEspereDlgTest, StartsOnceShowingTheWaitTextAsTheModalWindow)
{
    ASSERT_TRUE(dialog.Inicia());
    EXPECT_TRUE(dialog.EstaActivo());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
    EXPECT_EQ(dialog.windowTitle(), "Espere por favor");
    EXPECT_EQ(dialog.messageText(), "Espere por favor");
    EXPECT_EQ(dialog.buttonText(), "Cancelar");
    EXPECT_EQ(dialog.progressValue(), 0);

    EXPECT_FALSE(dialog.Inicia());
    EXPECT_TRUE(dialog.isVisible());
    dialog.Detiene();
    EXPECT_FALSE(dialog.EstaActivo());
}

TEST_F(CEspereDlgTest, AMessageShowsAtTheNextTickAndStopClosesThere)
{
    ASSERT_TRUE(dialog.Inicia());
    dialog.AsignaMensaje(QStringLiteral("Grabando"));
    dialog.AsignaProgreso(40);
    QElapsedTimer closing;
    bool shownBeforeClose = false;
    QObject::connect(&dialog, &QDialog::finished, [&] {
        shownBeforeClose = dialog.messageText() == "Grabando" && dialog.progressValue() == 40;
        closing.start();
    });
    QElapsedTimer stop;
    stop.start();
    dialog.Detiene();

    EXPECT_TRUE(shownBeforeClose);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.EstaActivo());
    EXPECT_FALSE(dialog.EstaCancelado());
    // At most one tick to close, then the settling passes.
    EXPECT_LT(stop.elapsed() - closing.elapsed(), 2 * CEspereDlg::TickMs + 200);
    EXPECT_GE(closing.elapsed(), CEspereDlg::SettleMs - 20);
}

TEST_F(CEspereDlgTest, AFinalTextHoldsTheWindowUntilTheUserConfirms)
{
    ASSERT_TRUE(dialog.Inicia());
    dialog.Termina(QStringLiteral("Programación finalizada"));
    QString message;
    QString button;
    bool visibleAtClick = false;
    QElapsedTimer confirmed;
    later(300, [&] {
        message = dialog.messageText();
        button = dialog.buttonText();
        visibleAtClick = dialog.isVisible();
        dialog.button()->click();
        confirmed.start();
    });
    dialog.Detiene();

    EXPECT_TRUE(visibleAtClick);
    EXPECT_EQ(message, "Programación finalizada");
    EXPECT_EQ(button, "Aceptar");
    EXPECT_GE(confirmed.elapsed(), CEspereDlg::SettleMs - 20);
    EXPECT_LT(confirmed.elapsed(), CEspereDlg::SettleMs + 400);
    // Pressing "Aceptar" cancels like any close; Detiene clears the flag.
    EXPECT_FALSE(dialog.EstaCancelado());
    EXPECT_FALSE(dialog.EstaActivo());
}

TEST_F(CEspereDlgTest, AfterACancelStopOnlyChangesStateAndReturns)
{
    ASSERT_TRUE(dialog.Inicia());
    dialog.button()->click();
    EXPECT_TRUE(dialog.EstaCancelado());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.EstaActivo());

    dialog.AsignaMensaje(QStringLiteral("No hay respuesta"));
    dialog.Termina(QStringLiteral("¡¡ TRANSFERENCIA ERRONEA !!"));
    EXPECT_TRUE(dialog.EstaCancelado());
    QElapsedTimer stop;
    stop.start();
    dialog.Detiene();
    EXPECT_GE(stop.elapsed(), CEspereDlg::SettleMs - 20);
    EXPECT_LT(stop.elapsed(), CEspereDlg::SettleMs + 400);
    EXPECT_FALSE(dialog.EstaCancelado());
    EXPECT_FALSE(dialog.EstaActivo());

    // A new start begins uncancelled, with the working texts.
    ASSERT_TRUE(dialog.Inicia());
    EXPECT_FALSE(dialog.EstaCancelado());
    EXPECT_EQ(dialog.messageText(), "Espere por favor");
    EXPECT_EQ(dialog.buttonText(), "Cancelar");
    dialog.Detiene();
}

TEST_F(CEspereDlgTest, EscCancelsAndEnterDoesNothing)
{
    ASSERT_TRUE(dialog.Inicia());
    pressKey(dialog, Qt::Key_Return);
    pressKey(dialog, Qt::Key_Enter);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.EstaCancelado());

    pressKey(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.EstaCancelado());
    dialog.Detiene();
    EXPECT_FALSE(dialog.EstaCancelado());
}

TEST_F(CEspereDlgTest, TheCloseBoxCancels)
{
    ASSERT_TRUE(dialog.Inicia());
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.EstaCancelado());
    dialog.Detiene();
}

TEST_F(CEspereDlgTest, ProgressAboveAHundredShowsAFullBar)
{
    ASSERT_TRUE(dialog.Inicia());
    dialog.AsignaProgreso(150);
    wait(CEspereDlg::TickMs + 50);
    EXPECT_EQ(dialog.progressValue(), 100);
    dialog.AsignaProgreso(-5);
    wait(CEspereDlg::TickMs + 50);
    EXPECT_EQ(dialog.progressValue(), 0);
    dialog.Detiene();
}

TEST_F(CEspereDlgTest, StringIdsGiveTheTableTexts)
{
    ASSERT_TRUE(dialog.Inicia());
    dialog.AsignaMensaje(CEspereDlg::ConfirmTextId);
    wait(CEspereDlg::TickMs + 50);
    EXPECT_EQ(dialog.messageText(), "Aceptar");
    EXPECT_EQ(dialog.buttonText(), "Cancelar");
    dialog.Detiene();
}

} // namespace

TEST_F(CEspereDlgTest, ANewStartNeverShowsTheLastTransfersFinalText)
{
    ASSERT_TRUE(dialog.Inicia());
    dialog.Termina(QStringLiteral("CAFETERA CONFIGURADA CORRECTAMENTE"));
    later(2 * CEspereDlg::TickMs, [&] { dialog.button()->click(); });
    dialog.Detiene();
    ASSERT_EQ(dialog.buttonText(), "Aceptar");

    ShowWatcher watcher(dialog);
    ASSERT_TRUE(dialog.Inicia());
    EXPECT_EQ(watcher.shown, QStringList{"Espere por favor|Cancelar"});
    dialog.Detiene();
}
