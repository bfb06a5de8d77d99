#pragma once

#include "fw/Dialog.h"

class QButtonGroup;
class QRadioButton;

// "Idioma de trabajo" (template 156): the language of the user interface, Ormi/Idioma. The
// language files are chosen at start-up, so a new choice is written and the user told to
// start the program again.
class SelIdiomaDlg : public fw::Dialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 156;
    static constexpr int RestartText = 1585;
    // The buttons' ids in language order (0 Spanish .. 4 German).
    static constexpr int ButtonIds[] = {1038, 1043, 1040, 1041, 1042};

    explicit SelIdiomaDlg(QWidget* parent = nullptr);

    int GetReadLanguage() const { return m_readLanguage; }
    int GetChosenLanguage() const { return m_chosenLanguage; }
    // The button of a language (0..4).
    QRadioButton* Button(int language) const;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;

private:
    QButtonGroup* m_group;
    int m_readLanguage = 0;
    int m_chosenLanguage = -1;
};
