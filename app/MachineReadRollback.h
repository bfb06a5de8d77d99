#pragma once

#include "app/CCfg.h"
#include "app/CDeviceCoffee.h"
#include "app/CSugarCoffee.h"
#include "app/SetupT38A.h"

#include <QString>

#include <vector>

class COrmiDoc;

// What a read from a machine replaces, kept as it stood before the read: the document's rows,
// cursor, sugar times, temperature, model, path, title and modified mark, the program-wide
// T38A set-up tables and the catalogue loaded for the model. Unless the read is committed, all
// of it is put back when the rollback ends and the views are updated, so a read that fails, is
// cancelled or finds no machine leaves everything as it was.
class MachineReadRollback {
public:
    explicit MachineReadRollback(COrmiDoc& document);
    ~MachineReadRollback();
    MachineReadRollback(const MachineReadRollback&) = delete;
    MachineReadRollback& operator=(const MachineReadRollback&) = delete;

    // The read went through: what it put in stays.
    void commit() { m_committed = true; }

private:
    void restore();

    COrmiDoc& m_document;
    std::vector<CDeviceCoffee> m_rows; // display order
    int m_cursor = -1;                 // display index of the cursor row; -1 for none
    CSugarCoffee m_sugar;
    int m_temperature;
    int m_model;
    QString m_pathName;
    QString m_title;
    bool m_modified;
    SetupT38A m_setup;
    CCfg m_catalogue;
    bool m_committed = false;
};
