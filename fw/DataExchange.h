#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QWidget;

namespace fw {

// One pass of a dialog's data exchange, in the framework's manner: fields and controls are
// bound in the dialog's own order, loading puts the fields into the controls, saving reads
// and validates them. The first failure of a saving pass shows its text in the framework's
// box, focuses the failing control and ends the pass; the dialog stays open.
class DataExchange {
public:
    enum class Direction { Load, Save };

    // "Especifique un entero.", "Especifique un entero entre %d y %d.", "Especifique un número."
    static constexpr int IntegerExpectedText = 21000;
    static constexpr int IntegerRangeText = 21001;
    static constexpr int NumberExpectedText = 21002;

    // Runs one pass; false when a binding or a check failed (its message already shown).
    static bool run(Direction direction, const std::function<void(DataExchange&)>& pass);

    bool isSaving() const { return m_direction == Direction::Save; }

    // An integer in an edit: "%d" when loading; when saving, a whole number with optional
    // blanks around it and a sign, else "Especifique un entero.".
    void text(QLineEdit* edit, int& value);
    // When saving, value within min..max, else the range message naming both ends.
    void minMaxInt(QLineEdit* edit, int value, int min, int max);
    // A float in the user's locale, up to 6 significant digits; read with the locale's decimal
    // separator or '.'; else "Especifique un número.".
    void text(QLineEdit* edit, float& value);
    void text(QLineEdit* edit, QString& value);
    // An 8-bit text, through the lossless Windows-1252 mapping.
    void text(QLineEdit* edit, QByteArray& value);
    // The text of a combo box's edit field (or of its selection), 8-bit.
    void comboText(QComboBox* combo, QByteArray& value);
    // The selected position of a combo box, -1 for none.
    void comboIndex(QComboBox* combo, int& value);
    // A check box as 0 or 1.
    void check(QAbstractButton* button, int& value);

    // Shows the text in the framework's box, then fails on the control.
    [[noreturn]] void fail(QWidget* control, const QString& message);
    // Focuses the control (selecting an edit's text) and ends the pass.
    [[noreturn]] void fail(QWidget* control);

    // The pure readings behind the bindings, for the dialogs' own parsing.
    static bool parseInteger(const QString& text, int& value);
    static bool parseFloat(const QString& text, float& value);
    static QString formatFloat(float value);

private:
    explicit DataExchange(Direction direction) : m_direction(direction) {}

    Direction m_direction;
};

} // namespace fw
