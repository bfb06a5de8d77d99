#pragma once

#include "app/ProductDlgData.h"
#include "fw/Dialog.h"

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;

// A product header: its name, chosen from the catalogue's product names or typed, its sugar,
// stirrer and cup flags and, for the T38A family, its UTF-16 name with the document's code
// page. The product and selection numbers have no control; they pass through.
class CProductDlg : public fw::Dialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 200;
    static constexpr int NameCombo = 1034;
    static constexpr int WideNameEdit = 1602;
    static constexpr int ConvertButton = 1601;
    static constexpr int CodePageLabel = 1622;
    static constexpr int CodePageList = 1621;
    static constexpr int HintText = 1623;
    static constexpr int SugarCheck = 1507;
    static constexpr int StirrerCheck = 1508;
    static constexpr int CupCheck = 1509;
    static constexpr int DescriptionGroup = FirstStaticText;

    // The next product name and its id, false after the last one.
    using NameSource = std::function<bool(QByteArray& name, int& id)>;
    // The product-name database's names of the product-name language, in name order.
    static NameSource DatabaseNames();

    CProductDlg(ProductDlgData& record, QWidget* parent = nullptr, NameSource names = DatabaseNames());

    void OnConvertir();
    void OnSelchangeCodepage();

protected:
    void OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void Commit() override { m_record = m_data; }

private:
    void fillNames();
    int savedNameIndex() const;

    ProductDlgData& m_record;
    ProductDlgData m_data;
    NameSource m_names;
    QComboBox* m_name;
    QLineEdit* m_wideName;
    QLineEdit* m_codePageLabel;
    QComboBox* m_codePage;
    QPlainTextEdit* m_hint;
    QCheckBox* m_sugar;
    QCheckBox* m_stirrer;
    QCheckBox* m_cup;
};
