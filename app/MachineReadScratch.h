#pragma once

#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/SetupT38A.h"
#include "fw/ProgramWide.h"

// What a read from a machine fills before it is taken: a document of its own, on the open
// document's model and product-name code page, and a catalogue and T38A set-up tables of its
// own, copied from the program-wide ones. Until take(), the open document and the program-wide
// tables stay exactly as they are: the views are told nothing, and a repaint, whenever the
// read lets the window's events run, draws the document as it was, however the read ends.
class MachineReadScratch {
public:
    // While one lives, its catalogue and set-up tables are the program-wide ones.
    class Tables {
    public:
        Tables(CCfg& catalogue, SetupT38A& setup)
            : m_catalogue(catalogue)
            , m_setup(setup)
        {
        }

    private:
        fw::ProgramWide<CCfg>::Install m_catalogue;
        fw::ProgramWide<SetupT38A>::Install m_setup;
    };

    explicit MachineReadScratch(COrmiDoc& open);
    MachineReadScratch(const MachineReadScratch&) = delete;
    MachineReadScratch& operator=(const MachineReadScratch&) = delete;

    // The document the read fills.
    COrmiDoc& document() { return m_read; }
    // The read's tables, where the model dialog's loads and the read's decoders find them.
    Tables readTables() { return {m_catalogue, m_setup}; }
    // The open document's tables again, inside readTables(): over every step that lets the
    // window's events run, so that a repaint draws the open document with its own catalogue.
    Tables openTables() { return {m_openCatalogue, m_openSetup}; }

    // The read ran through: the open document takes the read's rows, cursor, sugar times,
    // temperature, model and modified mark, its path is emptied (its title stays), the
    // program-wide tables become the read's, and the views are updated, once.
    void take();

private:
    COrmiDoc& m_open;
    CCfg& m_openCatalogue;
    SetupT38A& m_openSetup;
    COrmiDoc m_read;
    CCfg m_catalogue;
    SetupT38A m_setup;
};
