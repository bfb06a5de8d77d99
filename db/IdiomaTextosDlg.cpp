#include "db/IdiomaTextosDlg.h"

#include "app/ProductNameEncoding.h"
#include "db/DBSelFieldBox.h"
#include "fw/Application.h"
#include "fw/TextFormat.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QVBoxLayout>

namespace {

const QString Section = QStringLiteral("Ormi");

} // namespace

IdiomaTextosDlg::IdiomaTextosDlg(QWidget* parent)
    : fw::Dialog(TemplateId, parent)
    , m_languageList(addItem(LanguageListId, new DBSelFieldBox(this)))
    , m_codePageList(addItem(CodePageListId, new QComboBox(this)))
    , m_languageCode(fw::Application::get().profile().GetInt(Section, QStringLiteral("IdiomaTextos"), 0))
    , m_codePage(int(GetNameCodePage()))
{
    setWindowTitle(captionText());
    const int idioma = fw::Application::get().profile().GetInt(Section, QStringLiteral("Idioma"), 0) != 0 ? 2 : 0;
    m_languageList->SetQuery(
        fw::TextFormat::format(
            QStringLiteral("SELECT DESCRIPCION,CODIGO FROM NOMBRES_IDIOMAS WHERE IDIOMA=%d ORDER BY CODIGO"), {idioma}),
        m_names.GetConnection());
    m_languageList->SetSorted(true);
    m_languageList->setMinimumContentsLength(24);
    m_codePageList->setMinimumContentsLength(24);
    // The user's choice only, not the dialog's own selection.
    connect(m_codePageList, &QComboBox::activated, this, &IdiomaTextosDlg::OnSelchangeCodepage);

    auto* languageGroup = new QGroupBox(itemText(LanguageGroup), this);
    (new QVBoxLayout(languageGroup))->addWidget(m_languageList);
    auto* codePageGroup = new QGroupBox(itemText(CodePageGroup), this);
    (new QVBoxLayout(codePageGroup))->addWidget(m_codePageList);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(languageGroup);
    layout->addWidget(codePageGroup);
    layout->addWidget(makeButtons());
}

IdiomaTextosDlg::~IdiomaTextosDlg() = default;

void IdiomaTextosDlg::DoDataExchange(fw::DataExchange& dx)
{
    // The language code goes in and out as the list's text: a code, never an item index.
    if (dx.isSaving()) {
        if (!fw::DataExchange::parseInteger(m_languageList->GetWindowText(), m_languageCode))
            dx.fail(m_languageList,
                    fw::Application::get().strings().text(fw::DataExchange::IntegerExpectedText));
        fw::Profile& profile = fw::Application::get().profile();
        profile.WriteInt(Section, QStringLiteral("IdiomaTextos"), m_languageCode);
        profile.WriteInt(Section, QStringLiteral("Codepage"), m_codePage);
        return;
    }
    m_languageList->SetWindowText(QString::number(m_languageCode));
    if (!m_codePageChoice) {
        m_codePageList->setEnabled(false);
        return;
    }
    FillCodePages();
    EnableLanguageList();
}

void IdiomaTextosDlg::FillCodePages()
{
    m_codePageList->clear();
    const fw::StringTable& strings = fw::Application::get().strings();
    for (int item = 0; item < int(std::size(CodePages)); ++item)
        m_codePageList->addItem(strings.text(FirstCodePageText + item), item);
    const QString number = QString::number(m_codePage);
    int selected = -1;
    for (int item = 0; item < m_codePageList->count() && selected < 0; ++item) {
        if (m_codePageList->itemText(item).contains(number))
            selected = item;
    }
    m_codePageList->setCurrentIndex(selected);
}

void IdiomaTextosDlg::OnSelchangeCodepage()
{
    const int item = m_codePageList->currentData().toInt();
    if (item >= 0 && item < int(std::size(CodePages)))
        m_codePage = CodePages[item];
    EnableLanguageList();
}

void IdiomaTextosDlg::EnableLanguageList() const { m_languageList->setEnabled(m_codePage == 1250); }
