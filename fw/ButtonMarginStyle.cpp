#include "fw/ButtonMarginStyle.h"

#include <QApplication>
#include <QStyleOptionButton>

namespace fw {

namespace {

// Each side of a button's text keeps the room of this many average characters.
constexpr int MarginCharacters = 2;

} // namespace

ButtonMarginStyle::ButtonMarginStyle(const QString& baseKey)
    : QProxyStyle(baseKey)
{
}

void ButtonMarginStyle::install()
{
    if (qobject_cast<ButtonMarginStyle*>(QApplication::style()))
        return;
    QApplication::setStyle(new ButtonMarginStyle(QApplication::style()->name()));
}

QSize ButtonMarginStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                                          const QWidget* widget) const
{
    QSize size = QProxyStyle::sizeFromContents(type, option, contents, widget);
    const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
    if (type != CT_PushButton || !button || button->text.isEmpty())
        return size;
    const int margin = MarginCharacters * option->fontMetrics.averageCharWidth()
        + pixelMetric(PM_DefaultFrameWidth, option, widget);
    size.setWidth(qMax(size.width(), contents.width() + 2 * margin));
    return size;
}

} // namespace fw
