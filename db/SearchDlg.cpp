#include "db/SearchDlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {

constexpr int OkId = 1;
constexpr int CancelId = 2;

// Template 100's texts by control (0: the title), so a language file can replace them.
struct ControlText {
    int control;
    const char* text;
};
constexpr ControlText Template100[] = {
    {0, "Buscar valor"},
    {SearchDlg::LabelId, "&Buscar"},
    {OkId, "OK"},
    {CancelId, "Cancel"},
};

} // namespace

QString SearchDlg::TemplateText(int controlId)
{
    for (const ControlText& entry : Template100) {
        if (entry.control == controlId)
            return QString::fromUtf8(entry.text);
    }
    return QString();
}

SearchDlg::SearchDlg(SearchDlgData& data, QWidget* parent)
    : QDialog(parent)
    , m_data(data)
    , m_label(new QLabel(TemplateText(LabelId), this))
    , m_edit(new QLineEdit(this))
    , m_ok(new QPushButton(TemplateText(OkId), this))
    , m_cancel(new QPushButton(TemplateText(CancelId), this))
{
    setWindowTitle(m_data.caption.isEmpty() ? TemplateText(0) : m_data.caption);
    setMinimumWidth(270);

    // The record's label replaces the template's, an empty one included.
    m_label->setText(m_data.label);
    m_label->setBuddy(m_edit);
    // The template gives the label two lines, shown or empty.
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setMinimumHeight(2 * m_label->fontMetrics().height());
    m_edit->setText(m_data.value);
    if (m_data.password) {
        m_edit->setEchoMode(QLineEdit::Password);
        m_edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    }
    if (m_data.digitsOnly)
        m_edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_edit));

    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addStretch(1);
    buttons->addWidget(m_cancel);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(24, 12, 24, 12);
    layout->addWidget(m_label, 0, 0);
    layout->addWidget(m_edit, 1, 0);
    layout->setRowMinimumHeight(2, 12);
    layout->addLayout(buttons, 3, 0);
    m_edit->setFocus();
}

void SearchDlg::accept()
{
    DoDataExchange();
    QDialog::accept();
}

void SearchDlg::DoDataExchange()
{
    m_data.value = m_edit->text();
    m_data.label = m_label->text();
}
