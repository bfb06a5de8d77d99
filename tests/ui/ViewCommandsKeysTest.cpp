// The edit commands' Alt keys and the file keys, pressed offscreen on the main window.
#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "tests/support/TestApplication.h"
#include "ui/AltKeyCommands.h"

#include <QAction>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList warnings;

void recordWarning(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        warnings << message;
}

// The frame with every command of the test enabled and counting its triggers; the focus on a
// plain widget in the frame, as on the view.
class ViewCommandsKeysTest : public ::testing::Test {
protected:
    ViewCommandsKeysTest()
    {
        auto* focus = new QWidget(&frame);
        focus->setFocusPolicy(Qt::StrongFocus);
        frame.setCentralWidget(focus);
        new AltKeyCommands(frame);
        for (const auto& [keys, command] : Keys) {
            QAction* action = frame.action(command);
            action->setEnabled(true);
            QObject::connect(action, &QAction::triggered, [this, command = command] { triggered << command; });
        }
        frame.show();
        frame.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));
        focus->setFocus();
        warnings.clear();
        m_previousHandler = qInstallMessageHandler(recordWarning);
    }
    ~ViewCommandsKeysTest() override { qInstallMessageHandler(m_previousHandler); }

    static constexpr std::pair<QKeyCombination, int> Keys[] = {
        {Qt::ALT | Qt::Key_B, CommandIds::Borrar},       {Qt::ALT | Qt::Key_D, CommandIds::NuevoDispositivo},
        {Qt::ALT | Qt::Key_E, CommandIds::Editar},       {Qt::ALT | Qt::Key_I, CommandIds::Insertar},
        {Qt::ALT | Qt::Key_N, CommandIds::NuevoProducto}, {Qt::CTRL | Qt::Key_N, CommandIds::FileNew},
        {Qt::CTRL | Qt::Key_O, CommandIds::FileOpen},    {Qt::CTRL | Qt::Key_S, CommandIds::FileSave},
        {Qt::CTRL | Qt::Key_P, CommandIds::FilePrint},
    };

    TestApplication app;
    CMainFrame frame;
    QList<int> triggered;

private:
    QtMessageHandler m_previousHandler = nullptr;
};

TEST_F(ViewCommandsKeysTest, EachKeyFiresItsCommandOnceWithoutAmbiguity)
{
    for (const auto& [keys, command] : Keys) {
        SCOPED_TRACE(QKeySequence(keys).toString().toStdString());
        triggered.clear();
        QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers());
        EXPECT_EQ(triggered, QList<int>{command});
    }
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
}

TEST_F(ViewCommandsKeysTest, ADisabledEditCommandIgnoresItsKeyAndTheMenuStaysShut)
{
    frame.action(CommandIds::Editar)->setEnabled(false);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
    EXPECT_TRUE(triggered.isEmpty());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
}

} // namespace
