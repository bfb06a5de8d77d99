#pragma once

#include <QAbstractSpinBox>

class QLineEdit;

namespace fw {

// An edit with an up-down control beside it: the arrows, the Up and Down keys and the wheel
// step the number in the edit by one inside the arrow range; what the user types is never
// clamped or refused for its value (the dialog's data exchange judges it). Digits only, when
// asked, refuses every other key.
class UpDownEdit : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit UpDownEdit(QWidget* parent = nullptr);

    QLineEdit* edit() const { return lineEdit(); }
    QString text() const;
    void setText(const QString& text);

    void setRange(int minimum, int maximum);
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    // The arrows' position: the edit's number, or the last position when it holds none.
    int position() const;
    void setDigitsOnly(bool digitsOnly);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

signals:
    // An arrow step, before (from) and after (to); also when the range held it still.
    void stepped(int from, int to);
    void textChanged(const QString& text);

protected:
    StepEnabled stepEnabled() const override;

private:
    int m_minimum = 0;
    int m_maximum = 100;
    mutable int m_lastPosition = 0;
    bool m_digitsOnly = false;
};

} // namespace fw
