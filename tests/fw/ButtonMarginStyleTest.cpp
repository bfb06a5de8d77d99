#include "fw/ButtonMarginStyle.h"

#include <QApplication>
#include <QPushButton>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include <memory>

namespace {

int textWidth(const QPushButton& button)
{
    return button.fontMetrics().size(Qt::TextShowMnemonic, button.text()).width();
}

} // namespace

// "Konvertieren" had only the frame beside it in Fusion: a text wider than the style's minimum
// button took no margin.
TEST(ButtonMarginStyleTest, ALongTextKeepsAMarginOfAtLeastACharacterOnEachSide)
{
    fw::ButtonMarginStyle style(QStringLiteral("Fusion"));
    for (const char* text : {"Konvertieren", "&Bearbeiten", "Produktnamen aus der Datenbank übernehmen"}) {
        SCOPED_TRACE(text);
        QPushButton button(QString::fromUtf8(text));
        button.setStyle(&style);
        EXPECT_GE(button.sizeHint().width(), textWidth(button) + 2 * button.fontMetrics().averageCharWidth());
    }
}

TEST(ButtonMarginStyleTest, AShortTextKeepsTheWidthOfTheStyleBelow)
{
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    fw::ButtonMarginStyle style(QStringLiteral("Fusion"));
    QPushButton plain(QStringLiteral("OK"));
    plain.setStyle(fusion.get());
    QPushButton ours(QStringLiteral("OK"));
    ours.setStyle(&style);
    EXPECT_EQ(ours.sizeHint(), plain.sizeHint());
}

// A style chosen on the command line (-style) or by the platform stays under ours.
TEST(ButtonMarginStyleTest, InstallingPutsItOnceOverTheApplicationsStyle)
{
    const auto* program = qobject_cast<const QProxyStyle*>(QApplication::style());
    const QString original = program ? program->baseStyle()->name() : QApplication::style()->name();
    QApplication::setStyle(QStringLiteral("Windows"));
    fw::ButtonMarginStyle::install();
    const auto* installed = qobject_cast<const fw::ButtonMarginStyle*>(QApplication::style());
    ASSERT_NE(installed, nullptr);
    EXPECT_EQ(installed->baseStyle()->name().toLower(), "windows");
    fw::ButtonMarginStyle::install();
    EXPECT_EQ(QApplication::style(), installed);
    // The other tests run in the program's style.
    QApplication::setStyle(original);
    fw::ButtonMarginStyle::install();
}
