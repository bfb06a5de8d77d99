#pragma once

#include <QProxyStyle>

namespace fw {

// The platform's style with push buttons sized from their text: room for the text and a margin
// on each side, whatever the language. Fusion gives a text button only its frame beside the text
// once the text outgrows the button's minimum width, so a long translation touched the border.
class ButtonMarginStyle : public QProxyStyle {
    Q_OBJECT
public:
    // Over the style of that key (the one the application uses when it is installed).
    explicit ButtonMarginStyle(const QString& baseKey);

    // Puts the program's style over the application's current one, once.
    static void install();

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                           const QWidget* widget) const override;
};

} // namespace fw
