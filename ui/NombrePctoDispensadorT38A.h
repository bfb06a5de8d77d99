#pragma once

#include "app/NombrePctoDlgData.h"
#include "fw/Dialog.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

// The machine text of one T38A product name: typed, or converted from its UTF-16 form with
// the document's code page.
class NombrePctoDispensadorT38A : public fw::Dialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 164;
    static constexpr int NameEdit = 1034;
    static constexpr int WideNameEdit = 1602;
    static constexpr int CodePageList = 1621;
    static constexpr int ConvertButton = 1601;
    static constexpr int HintText = 1623;
    static constexpr int DescriptionGroup = FirstStaticText;
    static constexpr int CodePageLabel = FirstStaticText + 1;

    explicit NombrePctoDispensadorT38A(NombrePctoDlgData& record, QWidget* parent = nullptr);

    void OnConvertir();
    void OnSelchangeCodepage();

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    void Commit() override { m_record = m_data; }

private:
    NombrePctoDlgData& m_record;
    NombrePctoDlgData m_data;
    QLineEdit* m_name;
    QLineEdit* m_wideName;
    QComboBox* m_codePage;
    QPlainTextEdit* m_hint;
};
