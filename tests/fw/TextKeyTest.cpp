#include "fw/StringTable.h"
#include "fw/TextKey.h"

#include <gtest/gtest.h>

TEST(TextKeyTest, KeysReadAndWriteAsTheTextFilesNameThem)
{
    const struct {
        const char* name;
        fw::TextKey key;
    } cases[] = {
        {"1584", fw::TextKey::string(1584)},
        {"menu.57600", fw::TextKey::menu(57600)},
        {"popup.0", fw::TextKey::popup(0)},
        {"toolbar.204", fw::TextKey::toolbar(204)},
        {"dialog.203", fw::TextKey::dialog(203)},
        {"dialog.203.1026", fw::TextKey::dialog(203, 1026)},
    };
    for (const auto& c : cases) {
        const std::optional<fw::TextKey> parsed = fw::TextKey::parse(QString::fromLatin1(c.name));
        ASSERT_TRUE(parsed.has_value()) << c.name;
        EXPECT_EQ(*parsed, c.key) << c.name;
        EXPECT_EQ(c.key.name(), QString::fromLatin1(c.name));
    }
}

TEST(TextKeyTest, NamesOfNoKeyAreRefused)
{
    for (const char* name : {"", "x", "-3", "menu", "menu.", "menu.x", "menu.1.2", "popup.1.2", "window.3",
                             "dialog.203.x", "dialog.203.1.2"})
        EXPECT_FALSE(fw::TextKey::parse(QString::fromLatin1(name)).has_value()) << name;
}

TEST(TextKeyTest, TheSameIdOfAnotherKindIsAnotherText)
{
    fw::StringTable strings(fw::StringTable::Contents::Empty);
    strings.merge("204\tstring\nmenu.204\tmenu\ntoolbar.204\ttoolbar\ndialog.204\tcaption\ndialog.204.1\tbutton\n");
    EXPECT_EQ(strings.text(204), "string");
    EXPECT_EQ(strings.text(fw::TextKey::menu(204)), "menu");
    EXPECT_EQ(strings.text(fw::TextKey::toolbar(204)), "toolbar");
    EXPECT_EQ(strings.text(fw::TextKey::dialog(204)), "caption");
    EXPECT_EQ(strings.text(fw::TextKey::dialog(204, 1)), "button");
    EXPECT_FALSE(strings.contains(fw::TextKey::popup(204)));
    EXPECT_EQ(strings.entries().size(), 5);
}
