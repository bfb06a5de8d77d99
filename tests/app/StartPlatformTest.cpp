#include "app/StartPlatform.h"

#include <gtest/gtest.h>

using Mode = StartPlatform::Mode;

TEST(StartPlatformTest, APrintWithoutADisplayRunsOffscreenAndTheEditorWithoutOneIsRefused)
{
    const struct {
        QStringList environment; // NAME=value; a name not listed is not set
        QStringList arguments;
        Mode mode;
        const char* forced;
    } cases[] = {
        {{"DISPLAY=:0"}, {}, Mode::Windows, ""},
        {{"DISPLAY=:0"}, {"/p", "a.caf"}, Mode::Windows, ""},
        {{"WAYLAND_DISPLAY=wayland-0"}, {"/pt", "a.caf", "Oficina"}, Mode::Windows, ""},
        {{}, {}, Mode::NoDisplay, "offscreen"},
        {{}, {"a.caf"}, Mode::NoDisplay, "offscreen"},
        // Set but empty is no display.
        {{"DISPLAY=", "WAYLAND_DISPLAY="}, {"a.caf"}, Mode::NoDisplay, "offscreen"},
        {{}, {"/p", "a.caf"}, Mode::Headless, "offscreen"},
        {{}, {"-P", "a.caf"}, Mode::Headless, "offscreen"},
        {{}, {"/pt", "a.caf", "Oficina"}, Mode::Headless, "offscreen"},
        // The usage text is a line too.
        {{}, {"/p"}, Mode::Headless, "offscreen"},
        // A platform given is kept; where it shows nothing, a print still needs no click.
        {{"QT_QPA_PLATFORM=offscreen"}, {}, Mode::Windows, ""},
        {{"QT_QPA_PLATFORM=offscreen"}, {"/p", "a.caf"}, Mode::Headless, ""},
        {{"DISPLAY=:0", "QT_QPA_PLATFORM=offscreen:fontengine=freetype"}, {"/p", "a.caf"}, Mode::Headless, ""},
        {{"QT_QPA_PLATFORM=offscreen;xcb"}, {"/p", "a.caf"}, Mode::Headless, ""},
        {{"QT_QPA_PLATFORM=minimal"}, {"/p", "a.caf"}, Mode::Headless, ""},
        {{"QT_QPA_PLATFORM=xcb"}, {"/p", "a.caf"}, Mode::Windows, ""},
        {{"QT_QPA_PLATFORM=xcb;offscreen"}, {"/p", "a.caf"}, Mode::Windows, ""},
        // Qt's own options count as the environment does, and come before it.
        {{}, {"-platform", "xcb", "/p", "a.caf"}, Mode::Windows, ""},
        {{"QT_QPA_PLATFORM=xcb"}, {"--platform", "offscreen", "/p", "a.caf"}, Mode::Headless, ""},
        {{}, {"-display", ":1", "a.caf"}, Mode::Windows, ""},
    };
    for (const auto& c : cases) {
        QProcessEnvironment environment;
        for (const QString& entry : c.environment)
            environment.insert(entry.section('=', 0, 0), entry.section('=', 1));
        const QString where = c.environment.join(' ') + " | " + c.arguments.join(' ');
        const StartPlatform platform = StartPlatform::choose(environment, c.arguments);
        EXPECT_EQ(platform.mode, c.mode) << where.toStdString();
        EXPECT_EQ(platform.forcedPlatform, QByteArray(c.forced)) << where.toStdString();
    }
}
