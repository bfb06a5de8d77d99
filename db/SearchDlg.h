#pragma once

#include "db/SearchDlgData.h"
#include "fw/Dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The one-line value prompt (template 100): a label, an edit, OK and Cancel. OK writes the
// edit's text into the record; Cancel leaves the record as it was.
class SearchDlg : public fw::Dialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 100;
    static constexpr int LabelId = 1053;
    static constexpr int EditId = 1054;

    explicit SearchDlg(SearchDlgData& data, QWidget* parent = nullptr);

    QLabel* Label() const { return m_label; }
    QLineEdit* Edit() const { return m_edit; }
    QPushButton* OkButton() const;
    QPushButton* CancelButton() const;

protected:
    // The value both ways; the label is shown from the record and read back unchanged.
    void DoDataExchange(fw::DataExchange& dx) override;
    void OnInitDialog() override;

private:
    SearchDlgData& m_data;
    QLabel* m_label;
    QLineEdit* m_edit;
};
