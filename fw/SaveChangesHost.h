#pragma once

namespace fw {

// The document layer's question about unsaved changes, for a command that replaces the
// document outside the file commands (reading a machine). Program-wide
// (fw::ProgramWide<SaveChangesHost>): start-up installs the document template, tests one that
// answers by script.
class SaveChangesHost {
public:
    virtual ~SaveChangesHost() = default;
    // Asks about a modified document: Yes saves, No discards, Cancel stops. True when the
    // caller may go on (nothing to ask, saved or discarded); false on Cancel or a failed save.
    virtual bool SaveModified() = 0;
};

} // namespace fw
