#pragma once

#include "export/ExportaZentroluxDlgData.h"
#include "fw/Dialog.h"

class DBSQLListCtrl;
class QCheckBox;

// "Seleccione opciones de exportación" (dialog 151): the management database's machines of the
// export's type that stand at a site, and the two export options. OK takes the machine of the
// focused row (0 without one) and keeps the options in the profile; Cancel changes nothing.
class ExportaZentroluxDlg : public fw::Dialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 151;
    static constexpr int MachineListId = 1035;
    static constexpr int ProductsOptionId = 1036;
    static constexpr int UnionOptionId = 1508;
    static constexpr int CodeCaptionText = 1594;
    static constexpr int DescriptionCaptionText = 1595;

    // The record is the caller's: read at the loading exchange, written on OK.
    explicit ExportaZentroluxDlg(ExportaZentroluxDlgData& data, QWidget* parent = nullptr);
    ~ExportaZentroluxDlg() override;

    DBSQLListCtrl* MachineList() const { return m_machines; }
    QCheckBox* ProductsOption() const { return m_products; }
    QCheckBox* UnionOption() const { return m_union; }

    // The list's statement for the type, the captions as column names.
    static QString MachineQuery(int machineType, const QString& codeCaption, const QString& descriptionCaption);

protected:
    void DoDataExchange(fw::DataExchange& dx) override;

private:
    ExportaZentroluxDlgData& m_data;
    DBSQLListCtrl* m_machines;
    QCheckBox* m_products;
    QCheckBox* m_union;
};
