#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QWidget>

// The start-up picture with the version text, shown over the main window for a while. It
// lives on its own once created: it closes and deletes itself when its time is up or when a
// key or mouse button is pressed on it. Frameless, on top of the other windows, without a
// task-bar entry, centred on the screen and as large as its picture.
class CMySplashWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int TextX = 10;
    static constexpr int TextY = 190;

    CMySplashWnd(quint32 bitmapId, quint32 durationMs, const QString& text);
    ~CMySplashWnd() override;

    // Loads the picture and shows the window; false (nothing shown) when the picture does
    // not load. The caller then deletes the object.
    bool Create();
    // The built-in picture of a bitmap id and its colours: the colour table of a picture
    // of up to 256 colours, none for more. False when there is no such picture.
    static bool LoadBitmapPalette(quint32 bitmapId, QImage& bitmap, QList<QRgb>& palette);

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    bool event(QEvent* event) override;

private:
    void OnPaint();
    void OnTimer(int timerId);
    // True (the event consumed, the window closing) for a key or a left, right or middle
    // button pressed on it.
    bool PreTranslateMessage(QEvent* event);
    void closeNow();

    quint32 m_bitmapId;
    quint32 m_duration;
    int m_timerId = 0;
    QString m_text;
    QColor m_backgroundColour{0, 0, 0};
    QColor m_textColour{255, 255, 255};
    QImage m_bitmap;
    QList<QRgb> m_palette;
};
