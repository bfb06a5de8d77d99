#include "link/SelPuertoDlg.h"

#include "tests/support/TestApplication.h"

#include <QComboBox>
#include <QDir>

#include <gtest/gtest.h>

namespace {

// Ports given by the profile only: the computer's own devices are looked for in an empty folder.
class SelPuertoDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        roots.devices = app.tempPath("dev");
        roots.ttyClass = app.tempPath("class-tty");
        QDir().mkpath(roots.devices);
    }

    void givePorts(std::initializer_list<int> numbers)
    {
        for (int n : numbers)
            app.profile().WriteString("Puertos", QStringLiteral("COM%1").arg(n), "/dev/null");
    }

    QStringList entries(const SelPuertoDlg& dialog) const
    {
        QStringList out;
        for (int i = 0; i < dialog.portList()->count(); ++i)
            out.append(dialog.portList()->itemText(i));
        return out;
    }

    TestApplication app;
    PortResolver::Roots roots;
};

TEST_F(SelPuertoDlgTest, ListsTheExistingPortsInOrderAndSelectsTheProfilesPort)
{
    givePorts({3, 1});
    app.profile().WriteString("Puertos", "COM2", app.tempPath("missing"));
    struct Case {
        int profileValue;
        QString selected;
    };
    for (const Case& c : {Case{3, "COM3"}, Case{1, "COM1"}, Case{5, "COM1"}}) {
        app.profile().WriteInt("Ormi", "SerialPort", c.profileValue);
        SelPuertoDlg dialog(app.profile(), PortResolver(app.profile(), roots));
        EXPECT_EQ(dialog.windowTitle(), "Seleccionar puerto serie");
        EXPECT_EQ(dialog.portText(), QStringLiteral("COM%1").arg(c.profileValue));
        EXPECT_EQ(entries(dialog), (QStringList{"COM1", "COM3"}));
        EXPECT_EQ(dialog.portList()->currentText(), c.selected) << c.profileValue;
        EXPECT_EQ(dialog.devicePathShown(), "/dev/null");
        EXPECT_EQ(dialog.portList()->itemData(0, Qt::ToolTipRole).toString(), "/dev/null");
    }

    // OK keeps the entry shown: the first one.
    SelPuertoDlg dialog(app.profile(), PortResolver(app.profile(), roots));
    dialog.accept();
    EXPECT_EQ(app.profile().GetInt("Ormi", "SerialPort", -1), 1);
    EXPECT_EQ(dialog.portText(), "COM1");
}

TEST_F(SelPuertoDlgTest, ComTenIsNotTakenForComOne)
{
    givePorts({1, 10});
    app.profile().WriteInt("Ormi", "SerialPort", 1);
    SelPuertoDlg dialog(app.profile(), PortResolver(app.profile(), roots));
    EXPECT_EQ(entries(dialog), (QStringList{"COM1", "COM10"}));
    EXPECT_EQ(dialog.portList()->currentText(), "COM1");

    dialog.portList()->setCurrentIndex(1);
    dialog.accept();
    EXPECT_EQ(app.profile().GetInt("Ormi", "SerialPort", -1), 10);
}

TEST_F(SelPuertoDlgTest, PortsZeroToTwelveAreOffered)
{
    givePorts({0, 12, 13});
    SelPuertoDlg dialog(app.profile(), PortResolver(app.profile(), roots));
    EXPECT_EQ(entries(dialog), (QStringList{"COM0", "COM12"}));
}

TEST_F(SelPuertoDlgTest, OkWithNoPortStoresZeroAndCancelStoresNothing)
{
    app.profile().WriteInt("Ormi", "SerialPort", 4);
    {
        SelPuertoDlg dialog(app.profile(), PortResolver(app.profile(), roots));
        EXPECT_EQ(dialog.portList()->count(), 0);
        dialog.reject();
        EXPECT_EQ(app.profile().GetInt("Ormi", "SerialPort", -1), 4);
    }
    SelPuertoDlg dialog(app.profile(), PortResolver(app.profile(), roots));
    dialog.accept();
    EXPECT_EQ(app.profile().GetInt("Ormi", "SerialPort", -1), 0);
    EXPECT_EQ(dialog.devicePathShown(), "");
}

TEST_F(SelPuertoDlgTest, TheDefaultPortIsComOne)
{
    givePorts({1, 2});
    SelPuertoDlg dialog(app.profile(), PortResolver(app.profile(), roots));
    EXPECT_EQ(dialog.portText(), "COM1");
    EXPECT_EQ(dialog.portList()->currentText(), "COM1");
}

} // namespace
