#include "ui/SelIdiomaDlg.h"

#include "fw/Application.h"
#include "fw/MessageBoxes.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString Section = QStringLiteral("Ormi");
const QString Value = QStringLiteral("Idioma");

} // namespace

SelIdiomaDlg::SelIdiomaDlg(QWidget* parent)
    : fw::Dialog(TemplateId, parent)
    , m_group(new QButtonGroup(this))
{
    setWindowTitle(captionText());
    auto* layout = new QVBoxLayout(this);
    for (int language = 0; language < int(std::size(ButtonIds)); ++language) {
        auto* button = addItem(ButtonIds[language], new QRadioButton(itemText(ButtonIds[language]), this));
        // The index is the place in the group, not the control id.
        m_group->addButton(button, language);
        layout->addWidget(button);
    }
    layout->addSpacing(8);
    layout->addWidget(makeButtons());
}

QRadioButton* SelIdiomaDlg::Button(int language) const
{
    return qobject_cast<QRadioButton*>(m_group->button(language));
}

void SelIdiomaDlg::DoDataExchange(fw::DataExchange& dx)
{
    fw::Profile& profile = fw::Application::get().profile();
    if (!dx.isSaving()) {
        m_readLanguage = profile.GetInt(Section, Value, 0);
        m_chosenLanguage = m_readLanguage;
        // A value outside the buttons checks none.
        if (QAbstractButton* button = m_group->button(m_chosenLanguage))
            button->setChecked(true);
        return;
    }
    m_chosenLanguage = m_group->checkedId();
    // No button checked is no choice: writing -1 would make the next start fall back to the
    // legacy value and change the language although the user chose none.
    if (m_chosenLanguage == -1 || m_chosenLanguage == m_readLanguage)
        return;
    profile.WriteInt(Section, Value, m_chosenLanguage);
    fw::MessageBoxes::box(fw::Application::get().strings().text(RestartText));
}
