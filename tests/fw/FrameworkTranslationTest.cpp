#include "fw/FrameworkTranslation.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString cancelText() { return QCoreApplication::translate("QPlatformTheme", "Cancel"); }

} // namespace

// Translators install only into a running application.
class FrameworkTranslationTest : public ::testing::Test {
protected:
    int argc = 1;
    char name[8] = "fw_test";
    char* argv[2] = {name, nullptr};
    QCoreApplication application{argc, argv};
};

TEST_F(FrameworkTranslationTest, QtsOwnTextsFollowTheInstalledLanguageAndLeaveWithIt)
{
    {
        fw::FrameworkTranslation translation;
        ASSERT_TRUE(translation.install(QStringLiteral("es")));
        EXPECT_EQ(cancelText(), QStringLiteral("Cancelar"));
        // A second language replaces the first.
        ASSERT_TRUE(translation.install(QStringLiteral("de")));
        EXPECT_EQ(cancelText(), QStringLiteral("Abbrechen"));
    }
    EXPECT_EQ(cancelText(), QStringLiteral("Cancel"));
}

TEST_F(FrameworkTranslationTest, AFolderWithoutTheTranslationKeepsEnglish)
{
    QTemporaryDir empty;
    fw::FrameworkTranslation translation;
    EXPECT_FALSE(translation.install(QStringLiteral("es"), empty.path()));
    EXPECT_EQ(cancelText(), QStringLiteral("Cancel"));
}
