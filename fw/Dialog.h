#pragma once

#include "fw/DataExchange.h"
#include "fw/TextKey.h"

#include <QDialog>
#include <QHash>

class QDialogButtonBox;
class QPushButton;

namespace fw {

// A modal dialog in the framework's manner: its controls by id, its data exchange in one
// function run in both directions, initialisation once before it is first shown, and OK that
// closes only after a saving exchange passed. Derived dialogs lay out their controls in code.
class Dialog : public QDialog {
    Q_OBJECT
public:
    // The framework's OK and Cancel buttons.
    static constexpr int IdOk = 1;
    static constexpr int IdCancel = 2;
    static constexpr int FirstStaticText = TextKey::FirstStaticText;

    // templateId names the dialog among the program's dialogs (its texts' key).
    explicit Dialog(int templateId, QWidget* parent = nullptr);

    int templateId() const { return m_templateId; }
    // Runs the initialisation unless done; the first show does it too.
    void InitDialog();
    // The loading (false) or saving (true) exchange; false when the saving one was refused.
    bool UpdateData(bool saveAndValidate = true);
    // The control of an id, null when the dialog has no widget for it.
    QWidget* GetDlgItem(int id) const { return m_items.value(id); }
    template <class W>
    W* item(int id) const
    {
        return qobject_cast<W*>(GetDlgItem(id));
    }

    // Runs the dialog; true on OK.
    bool DoModal();
    // OK and Cancel as their buttons do them.
    void accept() override { OnOK(); }
    void reject() override { OnCancel(); }

protected:
    virtual void DoDataExchange(DataExchange& dx) = 0;
    // Default: the loading exchange.
    virtual void OnInitDialog();
    // Default: the saving exchange, then Commit() and closing with OK.
    virtual void OnOK();
    virtual void OnCancel() { QDialog::reject(); }
    // Hands the exchanged fields to the caller's record; runs only after a passed saving exchange.
    virtual void Commit() {}
    // Closes with OK without an exchange, for dialogs with their own OnOK.
    void EndDialogOk() { QDialog::accept(); }

    // Registers a control under its id and returns it.
    template <class W>
    W* addItem(int id, W* widget)
    {
        m_items.insert(id, widget);
        return widget;
    }
    // The dialog's caption and the text of one of its controls from the string table, keyed
    // by template and control (fw::TextKey::dialog), so a language file replaces them.
    QString captionText() const;
    QString itemText(int controlId) const;
    // The OK and Cancel buttons (ids 1 and 2) with their texts.
    QDialogButtonBox* makeButtons();

    void showEvent(QShowEvent* event) override;

private:
    void putButtonsLast();

    int m_templateId;
    bool m_initialised = false;
    bool m_shownOnce = false;
    QHash<int, QWidget*> m_items;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace fw
