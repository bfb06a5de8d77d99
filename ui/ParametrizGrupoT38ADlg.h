#pragma once

#include "app/NombrePctoDlgData.h"
#include "app/SetupT38A.h"
#include "fw/Dialog.h"

#include <array>
#include <functional>

class QComboBox;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

// The T38A set-up tables of the document's program family: per dispenser the product it holds,
// its milligrams per turn, valve, whipper and whipping speed; the coffee group's and the hot
// water's valves; and the machine texts of the product names. The family's default valves and
// whippers are written into the tables whenever the dialog opens; the cells the user edits
// reach the tables only on OK, the texts edited with "Editar" at once.
class ParametrizGrupoT38ADlg : public fw::Dialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 181;
    static constexpr int MaxRows = 6;          // set-up rows 1..6 are shown
    static constexpr int MaxDispensers = MaxRows - 1;
    static constexpr int GroupNameEdit = 1608; // row 1: the coffee group
    static constexpr int GroupMgEdit = 1610;
    static constexpr int GroupValveEdit = 1625;
    static constexpr int HotWaterValveEdit = 1635;
    static constexpr int NamesList = 1614;
    static constexpr int EditButton = 1616;
    // Dispenser k (1..5) sits in set-up row k + 1: its combo shows D[k], its cells A, B, C, E of row k + 1.
    static constexpr std::array<int, MaxDispensers> ProductCombos = {1609, 1612, 1620, 1618, 1621};
    static constexpr std::array<int, MaxDispensers> MgEdits = {1611, 1613, 1615, 1619, 1622};
    static constexpr std::array<int, MaxDispensers> ValveEdits = {1626, 1627, 1628, 1629, 1636};
    static constexpr std::array<int, MaxDispensers> WhipperEdits = {1631, 1632, 1633, 1634, 1637};
    static constexpr std::array<int, MaxDispensers> SpeedEdits = {1643, 1646, 1649, 1644, 1650};
    // The sixth row's own labels.
    static constexpr std::array<int, 5> SixthRowLabels = {1638, 1639, 1640, 1641, 1648};
    // The labels of our own ids: the columns, the group row, dispensers 1 to 4 (the fifth
    // brings its own), the hot-water valve and the names' group.
    static constexpr std::array<int, 4> ColumnLabels = {FirstStaticText, FirstStaticText + 1, FirstStaticText + 2,
                                                        FirstStaticText + 3};
    static constexpr int GroupRowLabel = FirstStaticText + 4;
    static constexpr std::array<int, MaxDispensers - 1> DispenserLabels = {FirstStaticText + 5, FirstStaticText + 6,
                                                                           FirstStaticText + 7, FirstStaticText + 8};
    static constexpr int HotWaterLabel = FirstStaticText + 9;
    static constexpr int NamesGroup = FirstStaticText + 10;
    static constexpr int MaxValve = 6;
    static constexpr int MaxWhipper = 5;
    static constexpr int MaxSpeed = SetupT38A::HighestWhipSpeed;
    static constexpr int MaxMilligrams = SetupT38A::HighestMgPerTurn;

    // Shows the product-text dialog; true on OK.
    using TextDialog = std::function<bool(NombrePctoDlgData& record)>;
    static bool ShowTextDialog(NombrePctoDlgData& record);

    ParametrizGrupoT38ADlg(SetupT38A& setup, int family, QWidget* parent = nullptr,
                           TextDialog textDialog = ShowTextDialog);

    int GetRowCount() const { return m_rowCount; }
    void AplicaValoresPorDefecto();
    void PonTitulo();
    void OnEditar();
    void OnDblclkNombres() { OnEditar(); }

protected:
    void OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void Commit() override;

private:
    struct RowWidgets {
        QComboBox* product = nullptr;
        QLineEdit* mg = nullptr;
        QLineEdit* valve = nullptr;
        QLineEdit* whipper = nullptr;
        QLineEdit* speed = nullptr;
    };

    void buildLayout();
    void exchangeCells(fw::DataExchange& dx);
    void validateCells(fw::DataExchange& dx);
    void fillProductCombo(QComboBox* combo, int productIndex);
    void fillNamesList();
    void sizeNameColumns();

    SetupT38A& m_setup;
    int m_family;
    int m_rowCount = 0;
    TextDialog m_textDialog;
    // The cells as edited, committed to the tables on OK.
    std::array<SetupT38A::SetupRow, SetupT38A::SetupRowCount> m_rows{};
    std::array<RowWidgets, MaxDispensers> m_dispensers{};
    QLineEdit* m_groupName;
    QLineEdit* m_groupMg;
    QLineEdit* m_groupValve;
    QLineEdit* m_hotWaterValve;
    std::array<QLineEdit*, 5> m_sixthRowLabels{};
    QTreeWidget* m_names;
};
