// The script that answers the windows of the end-to-end tests: it meets every window, in the
// order they open, once the window is active, and a window it cannot close fails the test
// instead of keeping it waiting.
#include "tests/ui/ModalDialogScript.h"

#include <QDialog>
#include <QElapsedTimer>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

// A window that keeps itself open on OK and on Cancel.
class StubbornDialog : public QDialog {
    Q_OBJECT
public:
    void accept() override {}
    void reject() override {}
};

// Records whether its window was active when met, then closes it with the result.
ModalDialogScript::Step closeWith(QDialog::DialogCode result, QList<bool>& active)
{
    return [result, &active](QDialog& dialog) {
        active << dialog.isActiveWindow();
        dialog.done(result);
        return true;
    };
}

TEST(ModalDialogScriptTest, EveryOpeningOfAWindowIsMetActiveWithTheNextStepAndCancelledWhenNoneIsLeft)
{
    ModalDialogScript script;
    QList<bool> active;
    QDialog reused;
    QDialog other;
    script.queue(closeWith(QDialog::Accepted, active));
    script.queue(closeWith(QDialog::Rejected, active));
    script.queue(closeWith(QDialog::Accepted, active));
    EXPECT_EQ(reused.exec(), QDialog::Accepted);
    EXPECT_EQ(reused.exec(), QDialog::Rejected);
    EXPECT_EQ(other.exec(), QDialog::Accepted);
    EXPECT_EQ(reused.exec(), QDialog::Rejected);
    EXPECT_EQ(active, QList<bool>({true, true, true}));
    EXPECT_EQ(script.take(), QStringList({"QDialog", "QDialog", "QDialog", "QDialog"}));
    EXPECT_EQ(script.pending(), 0);
}

TEST(ModalDialogScriptTest, AWindowOpenedByAStepIsMetWithTheStepAfterIt)
{
    ModalDialogScript script;
    QList<bool> active;
    QDialog outer;
    StubbornDialog inner;
    int innerResult = -1;
    script.queue([&](QDialog& dialog) {
        innerResult = static_cast<QDialog&>(inner).exec();
        dialog.accept();
        return true;
    });
    script.queue([&](QDialog& dialog) {
        active << dialog.isActiveWindow();
        dialog.QDialog::done(QDialog::Accepted);
        return true;
    });
    EXPECT_EQ(outer.exec(), QDialog::Accepted);
    EXPECT_EQ(innerResult, QDialog::Accepted);
    EXPECT_EQ(active, QList<bool>({true}));
    EXPECT_EQ(script.take(), QStringList({"QDialog", "StubbornDialog"}));
}

TEST(ModalDialogScriptTest, AWindowItsStepCannotCloseFailsTheTestWithItsClassAndIsClosed)
{
    ModalDialogScript script;
    StubbornDialog dialog;
    script.queue(ModalDialogScript::ok());
    int result = -1;
    QElapsedTimer clock;
    clock.start();
    EXPECT_NONFATAL_FAILURE(result = dialog.exec(), "could not answer StubbornDialog");
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_LT(clock.elapsed(), ModalDialogScript::CloseMs + ModalDialogScript::ActivationMs);
}

} // namespace

#include "ModalDialogScriptTest.moc"
