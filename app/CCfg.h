#pragma once

#include "app/DeviceTypeRecord.h"
#include "app/DispenserTable.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

// The machine catalogue of the model the document targets: its device types, the wiring of
// its dispensers, the product names a header may carry and the rates from which the rows'
// estimates are made. Program-wide (fw::ProgramWide<CCfg>); filled by the catalogue loaders.
// Every index is checked, as types, dispenser numbers and product indices come from files,
// databases and machines.
class CCfg {
public:
    static constexpr int ProductNameCount = 100;
    static constexpr int DispenserRateCount = 5;
    // The named twentieth type moves the -25 cc correction from valve 4 to valve 5.
    static constexpr int CorrectionMarkType = 19;
    // "Fichero %s no existe"
    static constexpr int FileMissingText = 1551;

    // How a relay or dispenser file load went. A model the database names no file for (the
    // T38A family, an unknown code) is not a failure the user is told about.
    enum class LoadResult { Loaded, NoFileNamed, FileMissing };

    // An empty catalogue for typeCount device types and rowCount dispenser rows: no records,
    // no table and no product names until loaded; marks 0 and rates 0.0.
    CCfg(int typeCount, int rowCount);

    int GetTypeCount() const { return m_typeCount; }
    int GetRowCount() const { return m_rowCount; }

    // --- loading from the catalogue databases and the files they name ---
    // The product names of the profile's product-name language, or of the fallback language
    // when it has none; entries no name reaches keep their text. True also when nothing
    // could be read (the reader has reported why).
    bool LoadProductNames();
    // The device types of the model from its relay file, with the flow-meter mark of its
    // machine type. NoFileNamed, without a message, for a model that has no relay file;
    // FileMissing after message 1551 with the full path when the file is missing. Either
    // way the records are left empty.
    LoadResult LoadDeviceTypes(int model);
    // The dispenser table of the model from its dispenser file; results as LoadDeviceTypes.
    LoadResult LoadDispenserTable(int model);

    // --- filling (the catalogue loaders) ---
    // Makes the 100 product-name entries, keeping the texts the entries already had.
    void ResizeProductNames();
    // False outside the entries.
    bool SetProductName(int index, const QByteArray& name);
    // Replaces the records by type count new records.
    void ResetDeviceTypes();
    // False outside the records; the name is cut to 60 bytes.
    bool SetDeviceType(int typeIndex, const DeviceTypeRecord& record);
    // Replaces the table by row count rows of zeros.
    void ResetDispenserTable();
    bool SetDispenserRow(int rowIndex, const DispenserTable::Row& values);
    void SetModel(int model) { m_model = model; }
    void SetListFlagMark(bool set) { m_listFlagMark = set; }
    void SetFlowMeterMark(bool set) { m_flowMeterMark = set; }

    // --- what was loaded ---
    int GetModel() const { return m_model; }
    bool GetListFlagMark() const { return m_listFlagMark; }
    bool GetFlowMeterMark() const { return m_flowMeterMark; }
    int GetProductNameCount() const { return int(m_productNames.size()); }
    int GetDeviceTypeCount() const { return int(m_deviceTypes.size()); }
    // The record of a type index, null outside the records.
    const DeviceTypeRecord* GetDeviceType(int typeIndex) const;
    const DispenserTable& GetDispenserTable() const { return m_dispenserTable; }

    // --- parametrisation rates, not stored in any file ---
    // Grams per 10 s of dispenser 1..5; 0.0 for any other number.
    float GetDispenserRate(int dispenser) const;
    bool SetDispenserRate(int dispenser, float gramsPer10s);
    float GetPumpRate() const { return m_pumpRate; }
    void SetPumpRate(float ccPerSecond) { m_pumpRate = ccPerSecond; }

    // --- lookups ---
    // The name of a product index; an index outside the entries gives an empty name and false.
    bool GetProductName(int index, QByteArray& name) const;
    // The first index whose name equals the name without its surrounding blanks; false with
    // index 0 when none does. An empty name finds nothing.
    bool FindProductName(int& index, const QByteArray& name) const;
    // The first type index with that code and sub-code, its display name into the text;
    // -1 (text unchanged) when none.
    int FindDeviceType(quint32 code, quint32 subCode, QByteArray& displayName) const;
    // The display name of a type index; false (text unchanged) outside the records.
    bool GetTypeName(int typeIndex, QByteArray& displayName) const;
    // A water valve of a machine that measures water in flow-meter pulses.
    bool IsEstimatedValve(int typeIndex) const;
    int CountNamedTypes() const;
    // What the type dispenses over the active time in tenths of a second: "%3.1f cc" for
    // water valves, "%3.1f gr" for dispensers 1..5, empty without a rate or for other types.
    QString GetEstimateText(int typeIndex, int activeTime) const;
    // The default product name of dispenser 1..10 by its product type; empty for any other
    // number or before the table is loaded.
    QByteArray GetDefaultName(int dispenser) const;

private:
    bool HasNamedCorrectionMarkType() const;

    bool m_listFlagMark = false;
    int m_model = 0;
    bool m_flowMeterMark = false;
    QList<QByteArray> m_productNames;
    DispenserTable m_dispenserTable;
    QList<DeviceTypeRecord> m_deviceTypes;
    int m_typeCount;
    int m_rowCount;
    std::array<float, DispenserRateCount> m_dispenserRates{};
    float m_pumpRate = 0.0f;
};
