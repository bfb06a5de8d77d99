#include "fw/UpDownEdit.h"

#include "fw/DataExchange.h"

#include <QLineEdit>

#include <algorithm>

namespace fw {

UpDownEdit::UpDownEdit(QWidget* parent)
    : QAbstractSpinBox(parent)
{
    setAlignment(Qt::AlignRight);
    setAccelerated(false);
    // The edit's own text, never corrected on leaving it.
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
    connect(lineEdit(), &QLineEdit::textChanged, this, &UpDownEdit::textChanged);
}

QString UpDownEdit::text() const { return lineEdit()->text(); }

void UpDownEdit::setText(const QString& text) { lineEdit()->setText(text); }

void UpDownEdit::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    update();
}

int UpDownEdit::position() const
{
    int value = 0;
    if (DataExchange::parseInteger(text(), value))
        m_lastPosition = value;
    return m_lastPosition;
}

void UpDownEdit::setDigitsOnly(bool digitsOnly) { m_digitsOnly = digitsOnly; }

void UpDownEdit::stepBy(int steps)
{
    const int from = position();
    const int to = int(std::clamp<qint64>(qint64(from) + steps, m_minimum, m_maximum));
    m_lastPosition = to;
    setText(QString::number(to));
    emit stepped(from, to);
}

QValidator::State UpDownEdit::validate(QString& input, int& pos) const
{
    Q_UNUSED(pos);
    if (!m_digitsOnly)
        return QValidator::Acceptable;
    const bool digits = std::all_of(input.cbegin(), input.cend(), [](QChar ch) { return ch >= QLatin1Char('0') && ch <= QLatin1Char('9'); });
    return digits ? QValidator::Acceptable : QValidator::Invalid;
}

QAbstractSpinBox::StepEnabled UpDownEdit::stepEnabled() const
{
    if (!isEnabled() || isReadOnly())
        return StepNone;
    StepEnabled enabled = StepNone;
    const int at = position();
    if (at < m_maximum)
        enabled |= StepUpEnabled;
    if (at > m_minimum)
        enabled |= StepDownEnabled;
    return enabled;
}

} // namespace fw
