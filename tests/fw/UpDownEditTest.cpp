#include "fw/UpDownEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

void press(QWidget* widget, int key, const QString& text = QString())
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &up);
}

void type(QWidget* widget, const QString& text)
{
    for (QChar ch : text)
        press(widget, ch.isDigit() ? Qt::Key_0 + ch.digitValue() : Qt::Key_A, QString(ch));
}

} // namespace

TEST(UpDownEditTest, ArrowsStepByOneInsideTheirRangeAndTypedValuesStay)
{
    fw::UpDownEdit edit;
    edit.setRange(0, 239);
    std::vector<std::pair<int, int>> steps;
    QObject::connect(&edit, &fw::UpDownEdit::stepped, [&](int from, int to) { steps.emplace_back(from, to); });

    edit.setText("238");
    edit.stepBy(1);
    EXPECT_EQ(edit.text(), "239");
    edit.stepBy(1);
    EXPECT_EQ(edit.text(), "239");
    edit.stepBy(-1);
    EXPECT_EQ(edit.text(), "238");
    ASSERT_EQ(steps.size(), 3);
    EXPECT_EQ(steps[1], std::make_pair(239, 239));

    // A typed value above the arrows' range is kept as typed; an arrow brings it back inside.
    edit.setText("500");
    EXPECT_EQ(edit.text(), "500");
    edit.stepBy(-1);
    EXPECT_EQ(edit.text(), "239");
    edit.setText("0");
    edit.stepBy(-1);
    EXPECT_EQ(edit.text(), "0");
}

TEST(UpDownEditTest, KeysStepAndDigitsOnlyRefusesOtherKeys)
{
    fw::UpDownEdit edit;
    edit.setRange(0, 1024);
    edit.setDigitsOnly(true);
    edit.show();
    edit.setText("7");
    press(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), "8");
    press(&edit, Qt::Key_Down);
    press(&edit, Qt::Key_Down);
    EXPECT_EQ(edit.text(), "6");
    edit.edit()->selectAll();
    type(&edit, "1a-2");
    EXPECT_EQ(edit.text(), "12");

    fw::UpDownEdit signedEdit;
    signedEdit.show();
    signedEdit.edit()->selectAll();
    type(&signedEdit, "-5x");
    EXPECT_EQ(signedEdit.text(), "-5x");
}
