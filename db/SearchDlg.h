#pragma once

#include "db/SearchDlgData.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The one-line value prompt (template 100): a label, an edit, OK and Cancel. OK writes the
// edit's text into the record; Cancel leaves the record as it was.
class SearchDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 100;
    static constexpr int LabelId = 1053;
    static constexpr int EditId = 1054;

    explicit SearchDlg(SearchDlgData& data, QWidget* parent = nullptr);

    // Template 100's own texts: its title (control 0) and its controls' texts.
    static QString TemplateText(int controlId);

    QLabel* Label() const { return m_label; }
    QLineEdit* Edit() const { return m_edit; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

    void accept() override;

private:
    // The exchange into the record; the label is not edited, so it goes back as it came.
    void DoDataExchange();

    SearchDlgData& m_data;
    QLabel* m_label;
    QLineEdit* m_edit;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
