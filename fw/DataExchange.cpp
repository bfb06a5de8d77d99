#include "fw/DataExchange.h"

#include "fw/Application.h"
#include "fw/MessageBoxes.h"
#include "fw/TextFormat.h"
#include "fw/Windows1252.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>

#include <cmath>
#include <limits>

namespace fw {

namespace {

// Thrown by a failing binding and caught by run(): a pass ends at its first failure, as the
// dialog's own code between the bindings must not go on with a value that was refused.
struct ExchangeFailed {};

QString tableText(int id) { return Application::get().strings().text(id); }

bool parseWith(QLocale locale, const QString& text, float& value)
{
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double number = locale.toDouble(text, &ok);
    if (!ok || !std::isfinite(number) || std::abs(number) > std::numeric_limits<float>::max())
        return false;
    value = float(number);
    return true;
}

} // namespace

bool DataExchange::run(Direction direction, const std::function<void(DataExchange&)>& pass)
{
    DataExchange exchange(direction);
    try {
        pass(exchange);
    } catch (const ExchangeFailed&) {
        return false;
    }
    return true;
}

bool DataExchange::parseInteger(const QString& text, int& value)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    qsizetype i = 0;
    const bool negative = trimmed.at(0) == QLatin1Char('-');
    if (negative || trimmed.at(0) == QLatin1Char('+'))
        ++i;
    if (i == trimmed.size())
        return false;
    qint64 number = 0;
    for (; i < trimmed.size(); ++i) {
        const QChar ch = trimmed.at(i);
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return false;
        number = number * 10 + (ch.unicode() - '0');
        if (number > qint64(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    number = negative ? -number : number;
    if (number > std::numeric_limits<int>::max() || number < std::numeric_limits<int>::min())
        return false;
    value = int(number);
    return true;
}

bool DataExchange::parseFloat(const QString& text, float& value)
{
    const QString trimmed = text.trimmed();
    return parseWith(QLocale(), trimmed, value) || parseWith(QLocale::c(), trimmed, value);
}

QString DataExchange::formatFloat(float value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(double(value), 'g', 6);
}

void DataExchange::text(QLineEdit* edit, int& value)
{
    if (!isSaving()) {
        edit->setText(QString::number(value));
        return;
    }
    if (!parseInteger(edit->text(), value))
        fail(edit, tableText(IntegerExpectedText));
}

void DataExchange::minMaxInt(QLineEdit* edit, int value, int min, int max)
{
    if (isSaving() && (value < min || value > max))
        fail(edit, TextFormat::format(tableText(IntegerRangeText), {min, max}));
}

void DataExchange::text(QLineEdit* edit, float& value)
{
    if (!isSaving()) {
        edit->setText(formatFloat(value));
        return;
    }
    if (!parseFloat(edit->text(), value))
        fail(edit, tableText(NumberExpectedText));
}

void DataExchange::text(QLineEdit* edit, QString& value)
{
    if (isSaving())
        value = edit->text();
    else
        edit->setText(value);
}

void DataExchange::text(QLineEdit* edit, QByteArray& value)
{
    if (isSaving())
        value = Windows1252::encode(edit->text());
    else
        edit->setText(Windows1252::decode(value));
}

void DataExchange::comboText(QComboBox* combo, QByteArray& value)
{
    if (isSaving())
        value = Windows1252::encode(combo->currentText());
    else if (combo->isEditable())
        combo->setEditText(Windows1252::decode(value));
    else
        combo->setCurrentIndex(combo->findText(Windows1252::decode(value), Qt::MatchFixedString));
}

void DataExchange::comboIndex(QComboBox* combo, int& value)
{
    if (isSaving())
        value = combo->currentIndex();
    else
        combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
}

void DataExchange::check(QAbstractButton* button, int& value)
{
    if (isSaving())
        value = button->isChecked() ? 1 : 0;
    else
        button->setChecked(value != 0);
}

void DataExchange::fail(QWidget* control, const QString& message)
{
    MessageBoxes::box(message, MessageButtons::Ok, MessageIcon::Warning);
    fail(control);
}

void DataExchange::fail(QWidget* control)
{
    if (control) {
        control->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            edit->selectAll();
        else if (auto* spin = qobject_cast<QAbstractSpinBox*>(control))
            spin->selectAll();
    }
    throw ExchangeFailed{};
}

} // namespace fw
