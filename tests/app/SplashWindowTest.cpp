#include "tests/support/TestApplication.h"
#include "ui/CMySplashWnd.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

#include <functional>

#include <gtest/gtest.h>

namespace {

// Runs events until the window has gone, at most the limit.
bool goneWithin(const QPointer<CMySplashWnd>& splash, int limitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (splash && timer.elapsed() < limitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return !splash;
}

void press(QWidget* widget, Qt::MouseButton button)
{
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), button, button,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void key(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(widget, &event);
}

// The pixels the window paints.
QImage painted(CMySplashWnd& splash) { return splash.grab().toImage().convertToFormat(QImage::Format_RGB32); }

} // namespace

TEST(SplashWindowTest, ItHasThePicturesSizeAndClosesAndDeletesItselfWhenItsTimeIsUp)
{
    TestApplication app;
    QPointer<CMySplashWnd> splash = new CMySplashWnd(155, 50, "Versión 18");
    ASSERT_TRUE(splash->Create());
    QImage picture;
    QList<QRgb> colours;
    ASSERT_TRUE(CMySplashWnd::LoadBitmapPalette(155, picture, colours));
    EXPECT_EQ(splash->size(), picture.size());
    EXPECT_GT(picture.height(), CMySplashWnd::TextY + 24) << "room for the text";
    EXPECT_FALSE(colours.isEmpty());
    EXPECT_LE(colours.size(), 256);
    EXPECT_EQ(splash->windowTitle(), "Pemvora Splash Window");
    EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(goneWithin(splash, 5000));
}

TEST(SplashWindowTest, AClickOrAKeyClosesItAtOnce)
{
    TestApplication app;
    const struct {
        const char* name;
        std::function<void(CMySplashWnd*)> press;
    } cases[] = {
        {"left button", [](CMySplashWnd* w) { press(w, Qt::LeftButton); }},
        {"right button", [](CMySplashWnd* w) { press(w, Qt::RightButton); }},
        {"middle button", [](CMySplashWnd* w) { press(w, Qt::MiddleButton); }},
        {"key", [](CMySplashWnd* w) { key(w, Qt::Key_Space); }},
        {"system key", [](CMySplashWnd* w) { key(w, Qt::Key_F4, Qt::AltModifier); }},
    };
    for (const auto& c : cases) {
        QPointer<CMySplashWnd> splash = new CMySplashWnd(155, 60000, "Versión 18");
        ASSERT_TRUE(splash->Create());
        c.press(splash);
        EXPECT_FALSE(splash && splash->isVisible()) << c.name;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(splash.isNull()) << c.name;
    }
}

TEST(SplashWindowTest, ATextIsDrawnWhiteOnBlackAndAnEmptyTextDrawsNone)
{
    TestApplication app;
    auto* withText = new CMySplashWnd(155, 60000, "Versión 18");
    auto* withoutText = new CMySplashWnd(155, 60000, QString());
    ASSERT_TRUE(withText->Create());
    ASSERT_TRUE(withoutText->Create());
    const QImage text = painted(*withText);
    const QImage none = painted(*withoutText);
    QImage picture;
    QList<QRgb> colours;
    CMySplashWnd::LoadBitmapPalette(155, picture, colours);
    EXPECT_EQ(none, picture.convertToFormat(QImage::Format_RGB32));
    EXPECT_NE(text, none);
    // Only the text's area changes, and only to white and black.
    int white = 0;
    for (int y = 0; y < text.height(); ++y) {
        for (int x = 0; x < text.width(); ++x) {
            if (text.pixel(x, y) == none.pixel(x, y))
                continue;
            EXPECT_GE(x, CMySplashWnd::TextX);
            EXPECT_GE(y, CMySplashWnd::TextY);
            white += text.pixel(x, y) == qRgb(255, 255, 255);
        }
    }
    EXPECT_GT(white, 0);
    delete withText;
    delete withoutText;
}

TEST(SplashWindowTest, WithoutItsPictureItIsNotCreated)
{
    TestApplication app;
    auto* splash = new CMySplashWnd(9999, 50, "x");
    EXPECT_FALSE(splash->Create());
    EXPECT_FALSE(splash->isVisible());
    delete splash;
}
