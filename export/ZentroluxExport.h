#pragma once

class COrmiDoc;
class ExportOptionsDialogHost;

namespace fw {
class Clock;
}

// One run of the management-database export command: the database is opened and the machine
// and options chosen, then the machine model; the configuration is compiled into the
// database and the union finished. Only an export that runs through is committed and
// reported; every other end leaves the database as it was, but for the machine row that the
// opening adds when the type has none.
class ZentroluxExport {
public:
    ZentroluxExport(COrmiDoc& document, ExportOptionsDialogHost& options, fw::Clock& clock);
    ZentroluxExport(const ZentroluxExport&) = delete;
    ZentroluxExport& operator=(const ZentroluxExport&) = delete;

    void Run();

private:
    COrmiDoc& m_document;
    ExportOptionsDialogHost& m_options;
    fw::Clock& m_clock;
};
