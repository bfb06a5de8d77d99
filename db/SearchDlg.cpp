#include "db/SearchDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

SearchDlg::SearchDlg(SearchDlgData& data, QWidget* parent)
    : fw::Dialog(TemplateId, parent)
    , m_data(data)
    , m_label(addItem(LabelId, new QLabel(itemText(LabelId), this)))
    , m_edit(addItem(EditId, new QLineEdit(this)))
{
    setWindowTitle(captionText());
    setMinimumWidth(270);
    m_label->setBuddy(m_edit);
    // The template gives the label two lines, shown or empty.
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setMinimumHeight(2 * m_label->fontMetrics().height());

    QDialogButtonBox* buttons = makeButtons();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 12, 24, 12);
    layout->addWidget(m_label);
    layout->addWidget(m_edit);
    layout->addSpacing(12);
    layout->addWidget(buttons);
}

QPushButton* SearchDlg::OkButton() const { return item<QPushButton>(IdOk); }
QPushButton* SearchDlg::CancelButton() const { return item<QPushButton>(IdCancel); }

void SearchDlg::DoDataExchange(fw::DataExchange& dx)
{
    dx.text(m_edit, m_data.value);
    if (dx.isSaving()) {
        m_data.label = m_label->text();
        return;
    }
    // The record's label replaces the template's, an empty one included.
    m_label->setText(m_data.label);
    if (m_data.password) {
        m_edit->setEchoMode(QLineEdit::Password);
        m_edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    }
    if (m_data.digitsOnly)
        m_edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_edit));
}

void SearchDlg::OnInitDialog()
{
    fw::Dialog::OnInitDialog();
    if (!m_data.caption.isEmpty())
        setWindowTitle(m_data.caption);
    m_edit->setFocus();
}
