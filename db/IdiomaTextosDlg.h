#pragma once

#include "db/LeeDbNombresProductos.h"
#include "fw/Dialog.h"

class DBSelFieldBox;
class QComboBox;

// "Idioma de los textos de los productos" (dialog 150): the language of the product names
// (a code of the product-name catalogue) and, for machines that take one, the code page the
// names are encoded in. OK writes both to the profile (Ormi/IdiomaTextos, Ormi/Codepage);
// Cancel writes nothing. The caller sets the code-page choice before running it and reads
// the code page after OK.
class IdiomaTextosDlg : public fw::Dialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 150;
    static constexpr int LanguageListId = 1034;
    static constexpr int CodePageListId = 1636;
    static constexpr int LanguageGroup = FirstStaticText;
    static constexpr int CodePageGroup = FirstStaticText + 1;
    // The code pages of the list's items 0..3; their texts are strings 207..210.
    static constexpr int CodePages[] = {1250, 1251, 1255, 1256};
    static constexpr int FirstCodePageText = 207;

    explicit IdiomaTextosDlg(QWidget* parent = nullptr);
    ~IdiomaTextosDlg() override;

    void SetCodePageChoice(bool on) { m_codePageChoice = on; }
    int GetCodePage() const { return m_codePage; }
    int GetLanguageCode() const { return m_languageCode; }

    DBSelFieldBox* LanguageList() const { return m_languageList; }
    QComboBox* CodePageList() const { return m_codePageList; }

    // The user chose an item of the code-page list.
    void OnSelchangeCodepage();

protected:
    void DoDataExchange(fw::DataExchange& dx) override;

private:
    void FillCodePages();
    void EnableLanguageList() const;

    // The product-name language dialog's reader; its connection feeds the language list.
    LeeDbNombresProductos m_names;
    DBSelFieldBox* m_languageList;
    QComboBox* m_codePageList;
    int m_languageCode;
    int m_codePage;
    bool m_codePageChoice = false;
};
