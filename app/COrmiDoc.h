#pragma once

#include "app/CDeviceCoffee.h"
#include "app/CSugarCoffee.h"

#include <QString>

#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <vector>

class CGrabador;
class CGrabadorT38A;
class ExportarProgramacion;
struct SugarDlgData;
struct TemperDlgData;
namespace fw {
class ArchiveReader;
class ArchiveWriter;
}

// The dose configuration of one machine: its rows (product headers and the devices each
// product drives), the sugar times, the boiler temperature, the machine model and the code
// page of the product names. The view, the machine link and the exports edit it.
//
// Rows are kept in display order, top to bottom. The file stores them in reverse (stored
// order): the last row of the display first. The document's cursor is the iterator of every
// walk over the rows, so a walk leaves it past the last row (no cursor row); a caller that
// needs it on a given row sets it again first.
class COrmiDoc {
    using RowList = std::list<std::unique_ptr<CDeviceCoffee>>;

public:
    static constexpr int NewDocumentTemperature = 80;
    static constexpr int NewDocumentModel = 1;
    // Shown when a product count has no header to start from.
    static constexpr int FirstRowMustBeHeaderText = 1558;
    // The machines number products in one byte.
    static constexpr int MaxProductNumber = 255;

    // A row of the document, or none (a default position). A position stays valid while its
    // row lives, whatever rows are added or removed around it.
    class RowPosition {
    public:
        RowPosition() = default;
        explicit operator bool() const { return m_node.has_value(); }
        bool operator==(const RowPosition&) const = default;

    private:
        friend class COrmiDoc;
        explicit RowPosition(RowList::const_iterator node) : m_node(node) {}
        std::optional<RowList::const_iterator> m_node;
    };

    using ViewListener = std::function<void()>;

    // No rows, no cursor, sugar times 0, temperature 80, model 1 and the profile's
    // product-name code page.
    COrmiDoc();
    COrmiDoc(const COrmiDoc&) = delete;
    COrmiDoc& operator=(const COrmiDoc&) = delete;

    // Empties the document: no rows, no path, sugar times 0, temperature 80, model 1, not
    // modified; updates the views. The name code page and the T38A set-up tables stay.
    void OnNewDocument();
    // Takes the configuration of the source: its rows with its cursor, sugar times,
    // temperature, model and modified mark; the source is left without rows. Path, title, name
    // code page and views stay this document's, and the views are not updated.
    void TakeConfiguration(COrmiDoc& source);

    // --- the framework's side: path, title, modified mark, views ---
    const QString& GetPathName() const { return m_pathName; }
    // Also makes the file's name the title; an empty path leaves the title.
    void SetPathName(const QString& path);
    const QString& GetTitle() const { return m_title; }
    void SetTitle(const QString& title) { m_title = title; }
    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true) { m_modified = modified; }
    // Every view redraws from the document. Returns the listener's id.
    int AddViewListener(ViewListener listener);
    void RemoveViewListener(int id);
    void UpdateAllViews();

    // --- values ---
    CSugarCoffee& GetSugar() { return m_sugar; }
    const CSugarCoffee& GetSugar() const { return m_sugar; }
    int GetWorkingTemperature() const { return m_temperature; }
    void SetWorkingTemperature(int celsius) { m_temperature = celsius; }
    int GetMachineModel() const { return m_model; }
    void SetMachineModel(int model) { m_model = model; }
    quint32 GetProductNameCodePage() const { return m_nameCodePage; }
    void SetProductNameCodePage(quint32 codePage) { m_nameCodePage = codePage; }

    // --- what the model decides ---
    bool IsModel19() const { return m_model == 19; }
    bool IsModel21() const { return m_model == 21; }
    bool IsModel22() const { return m_model == 22; }
    bool IsModel23() const { return m_model == 23; }
    bool IsModel24() const { return m_model == 24; }
    bool IsT38AFamily() const;
    int GetProgramFamily() const;
    int GetManagementMachineType() const;
    // The block id of a record kind (MachineModel::BlockKind) for this kind of machine.
    int GetBlockCode(int kind) const;

    // --- rows and positions, in display order; none of these moves the cursor ---
    int GetRowCount() const { return int(m_rows.size()); }
    RowPosition GetFirstRowPosition() const;
    RowPosition GetLastRowPosition() const;
    // The row below / above in display order; none past either end or from none.
    RowPosition GetNextRowPosition(RowPosition position) const;
    RowPosition GetPreviousRowPosition(RowPosition position) const;
    // Null for none.
    CDeviceCoffee* GetRowAt(RowPosition position);
    const CDeviceCoffee* GetRowAt(RowPosition position) const;
    // Stored order is display order reversed: walk from GetLastRowPosition upwards. The
    // file's reader adds each row it reads after those stored so far, that is above them.
    void AddStoredRow(std::unique_ptr<CDeviceCoffee> row);

    // --- the cursor ---
    RowPosition GetCurrentPosition() const { return m_cursor; }
    void SetCurrentPosition(RowPosition position) { m_cursor = position; }
    CDeviceCoffee* GetCurrentRow() { return GetRowAt(m_cursor); }
    // A walk: StartWalk puts the cursor on the first row; each GetNextRow gives the cursor
    // row and moves the cursor on, null once the rows have run out.
    void StartWalk() { m_cursor = GetFirstRowPosition(); }
    CDeviceCoffee* GetNextRow();

    // --- editing ---
    // Hit test against where the rows were last drawn (y grows upwards): the first row in
    // display order with its x <= x and its y <= y becomes the cursor row. No hit: false, no
    // cursor row.
    bool SelectRowAt(int x, int y);
    // A new default row at the end of the display; marks the document modified. Null (after
    // a message) when memory runs out.
    CDeviceCoffee* AddDevice();
    // A new default row just above the cursor row, or at the top without a cursor row; the
    // cursor stays on its row. Marks modified; null (after a message) without memory.
    CDeviceCoffee* InsertDevice();
    // Deletes the cursor row; a product header goes with its devices and the products are
    // renumbered. The cursor stays on the row after a deleted device. Marks modified.
    // Without a cursor row nothing happens.
    void DeleteCurrentRow();
    // The devices of the cursor row's product, from its header to the next header; the
    // cursor is left on the row after them. An empty document shows text 1558 and gives -1;
    // a document without a cursor row gives -1.
    int CountProductDevices();
    // 0 when there is no product header.
    int GetHighestProductNumber();
    // The n-th product header in display order becomes product and selection number n.
    // Numbers never wrap: the file's reader refuses more than MaxProductNumber headers.
    void RenumberProducts();
    // T38A times: each device starts after the device before it in its product.
    void ChainDeviceTimes();
    // Devices take their type names from the catalogue; marks modified, updates the views.
    void RefreshTypeNames();
    // After a machine is read or the product-name language changes: reloads the catalogue's
    // product names; every row takes the document's name code page, a header with a name
    // index takes that catalogue name and one without takes the index of its name. Marks
    // modified and updates the views. A header whose index lies outside the catalogue keeps
    // its name.
    void ResolveProductNames();
    // After a T38A document is loaded or its set-up tables are edited: renumbers the
    // products, names the devices by their set-up rows and chains their times.
    void ApplySetupT38A();
    // After a classic document is loaded: within each product, every water valve follows
    // the dispensers it is fed by and the whippers of their group, valves by their start
    // time; devices that fit no valve follow the groups. Rows above the first product
    // header stay where they are.
    void SortDevices();

    // --- the document file ---
    // Reloads the catalogue for the model of a classic document just loaded.
    using CatalogueReload = std::function<void(int model)>;
    // The program-wide catalogue's dispenser table and device types for the model; each
    // load reports its own failure.
    static void ReloadCatalogue(int model);
    // Stores the rows in stored order, the sugar times, the temperature and the model, and
    // for the T38A family the program-wide set-up tables.
    void Serialize(fw::ArchiveWriter& ar) const;
    // Resets the document and loads a file of any layout, then brings it up to date: the
    // set-up tables of a T38A-family file become the program-wide ones and are applied to
    // the rows; a classic document has its catalogue reloaded, its products renumbered, its
    // type names refreshed and its devices regrouped. Throws fw::ArchiveError, leaving the
    // document partly loaded (the caller resets it) and the set-up tables untouched.
    void Serialize(fw::ArchiveReader& ar, const CatalogueReload& reloadCatalogue = ReloadCatalogue);

    // --- the compile step ---
    // Hands the configuration records of the document, the catalogue and the T38A set-up
    // tables to the exporter in the fixed order of the document's kind of machine, with
    // status texts and progress. False once the exporter refuses a record, or after a
    // message naming a product that does not fit its record; nothing is sent after that.
    // The walk leaves the cursor past the last row; T38A coffee-group rows get 0 turns.
    // Defined beside the compiler in the link library, which builds on this one.
    bool CompileProgram(ExportarProgramacion& exporter);
    // The status text of a compile step: 1 dispensers, 2 relays, 3 product n, 4 sugar;
    // empty for any other step.
    static QString StepText(int step, int n);

    // --- the machine model (the dialog opens through the program-wide ModelDialogHost) ---
    // Command 1596: the dialog with its confirmation. OK: the chosen model, the catalogue's
    // dispenser table and then its device types reloaded for it, the views updated, the
    // document marked modified. Cancel changes nothing.
    void ChooseMachineModel();
    // Before a write to or read of a machine and before an export: the dialog without its
    // confirmation. OK: the chosen model and both catalogue loads, neither marked modified
    // nor the views updated; true unless either named file is missing (the model stays
    // chosen, the loader has told the user), so nothing runs on an empty catalogue. A model
    // that names no files (the T38A family) is fine. Cancel: false, nothing changed.
    bool SelectMachineModel();

    // --- writing and reading a machine (defined in link/) ---
    static constexpr int ConnectingText = 20400;
    static constexpr int ConfiguringText = 20401;
    static constexpr int ConfiguredText = 20404;
    // Command 1525: the model dialog, then the document over the serial cable: record by
    // record to a T38A or record-mode classic machine, as an e2prom image to a memory-mode
    // one. The recorders report every failure; the document is not changed but for its model.
    // Nothing happens while another transfer runs or settles (fw::WaitUi::transferRunning).
    void WriteToMachine();
    // The compiled records through a connected recorder; the success text only when every
    // record was taken. True then.
    bool ConfigureMachine(CGrabador& recorder);
    bool ConfigureMachineT38A(CGrabadorT38A& recorder);

    static constexpr int ReadingText = 20405;
    static constexpr int ReadingProductText = 20406;
    // Command 1527: first the question about unsaved changes (the program-wide
    // fw::SaveChangesHost; Cancel or a failed save ends it), then the model dialog (Cancel
    // ends it). Once a machine answers, it is read into a document of the read's own (for a
    // classic machine with the model's dispenser table and device types): record by record or
    // from the e2prom image of a classic machine, in one bulk transfer from a T38A one.
    // Meanwhile this document, the T38A set-up tables and the catalogue stay as they were,
    // so the window shows the document as it was; the wait window alone shows the read.
    // Whether the read ran through is decided once, by the read's result, which counts every
    // cancel the recorder saw; the final text follows it. Only such a read is taken, in one
    // step: rows, sugar times, temperature, the chosen model and its tables, the path emptied.
    // The recorders report every failure. Nothing happens while another transfer runs or
    // settles (fw::WaitUi::transferRunning).
    void ReadFromMachine();
    // Runs one step of a read that talks to the line and so lets the window's events run; a
    // read into a document of its own puts the open document's tables back around it.
    using LineStep = std::function<bool(const std::function<bool()>& step)>;
    // The classic record-mode read into this (reset) document: sugar and flags, products
    // 1..24, temperature, all read before any is taken apart; then renumbered, names resolved,
    // views updated. A failed record read ends it at once; a malformed row or record keeps the
    // rows taken before it. True when everything was read.
    bool ReadProducts(CGrabador& recorder, const LineStep& onLine = {});
    // The classic memory-mode read: blocks 0..24 of the e2prom image, selection numbers
    // from its index, names as read; blocks, index and temperature are read before any is
    // taken apart. Any failure ends it without a view update. False then.
    bool ReadMemoryImage(CGrabador& recorder, const LineStep& onLine = {});
    // The same walk over any reader of the e2prom image (address, length, destination; false
    // when the read failed), showing the block being read (from 1) through showBlock.
    using MemoryRead = std::function<bool(quint32 address, int length, quint8* destination)>;
    bool ReadMemoryImage(const MemoryRead& read, const std::function<void(int block)>& showBlock);
    // The T38A read into this (reset) document (link/T38AMachineReader): true when every
    // record was taken; false when the bulk transfer failed (the document then still empty) or
    // a record was refused.
    bool ReadT38AMachine(CGrabadorT38A& recorder);

    // --- the exports (defined in export/) ---
    // Command 1607: the compiled configuration as a .prg file, normally in the Quorvanel USB
    // programming device's folder; the save dialog opens through the program-wide
    // SaveDialogHost.
    void OnExportarQuorvanel();
    // Command 1539: the compiled configuration into the management database (profile
    // Configuracion/Database), one transaction; the options dialog opens through the
    // program-wide ExportOptionsDialogHost.
    void OnExportarZentrolux();

    // --- the document's edit dialogs (defined in app/COrmiDocDialogs.cpp) ---
    // A dialog shown on a record: true on OK, the record then holding what was entered.
    template <class Record>
    using EditDialog = std::function<bool(Record& record)>;
    // The sugar times in the sugar dialog, in turns for the T38A family; taken back on OK,
    // the views then updated. Marks modified whether OK or Cancel.
    void EditSugarTimes(const EditDialog<SugarDlgData>& dialog);
    // A stored temperature outside 80..100 becomes 80 first; the dialog's value on OK. Marks
    // modified whether OK or Cancel; views are not updated.
    void EditTemperature(const EditDialog<TemperDlgData>& dialog);

private:
    RowPosition positionOf(RowList::const_iterator node) const;
    CDeviceCoffee* insertNewRow(RowList::const_iterator before);
    void eraseRow(RowPosition position);
    void regroupProduct(RowList& output);
    // The rows of a classic record or block up to its 0xFF; false after reporting a
    // malformed one. onHeader sees each product header just decoded.
    bool decodeClassicRows(QByteArrayView record, const std::function<bool(CDeviceCoffee&)>& onHeader);

    RowList m_rows;
    RowPosition m_cursor;
    CSugarCoffee m_sugar;
    int m_temperature = NewDocumentTemperature;
    int m_model = NewDocumentModel;
    quint32 m_nameCodePage;
    QString m_pathName;
    QString m_title;
    bool m_modified = false;
    std::vector<std::pair<int, ViewListener>> m_viewListeners;
    int m_nextListenerId = 1;
};
