#pragma once

#include "fw/ByteWriter.h"

#include <QByteArray>

#include <array>
#include <bitset>

class COrmiDoc;
class ExportarProgramacion;

// One run of the compile step: turns a document, the catalogue and the T38A set-up tables
// into the machine's configuration records, in the fixed order of its kind of machine, and
// hands them with status texts and progress to an exporter. The first record the exporter
// refuses ends the run; so does a product that does not fit its record, after a message
// naming it. For the T38A family a set-up value or temperature its packed-BCD digits cannot
// carry ends the run before anything is sent, after a message naming it, and names longer than
// the machine keeps are sent cut, after a message listing them. The document's own cursor walks
// the rows and is left past the last one.
class ProgramCompiler {
public:
    // Every payload is built in a buffer of this size.
    static constexpr int PayloadCapacity = 100;
    // A classic machine takes 80 bytes per product record.
    static constexpr int ClassicRecordLength = 80;
    static constexpr int FlagCount = 30;
    static constexpr int ClassicFlagCount = 24;
    static constexpr int DispenserRows = 10;
    static constexpr int ProductRefusedText = 1714;
    static constexpr int SetupValueRefusedText = 20220;
    static constexpr int TemperatureRefusedText = 20221;
    static constexpr int NamesCutText = 20222;
    // The temperature goes as two packed-BCD digits.
    static constexpr int TemperatureDigits = 2;

    ProgramCompiler(COrmiDoc& document, ExportarProgramacion& exporter);
    ProgramCompiler(const ProgramCompiler&) = delete;
    ProgramCompiler& operator=(const ProgramCompiler&) = delete;

    // True when every record whose result counts was accepted.
    bool Run();

private:
    // Every T38A value fits its digits; else a box names the first that does not.
    bool CheckT38AValues() const;
    // A box lists the names the machine gets cut, if any.
    void WarnOfCutNames();
    bool SendClassicTables();
    bool SendT38ASetup();
    bool SendProducts();
    bool SendProduct(fw::ByteWriter& buffer);
    bool SendClassicSugarAndFlags();
    bool SendT38ASugarFlagsAndFillers();
    bool SendFiller(int productNumber);
    bool Send(int kind, int field, QByteArrayView payload);
    // The field of a set-up row's container record.
    int ContainerField(int row) const;
    int Block(int kind) const;
    int ProductCapacity() const;
    // The box that names a product which cannot be sent.
    void RefuseProduct() const;

    COrmiDoc& m_document;
    ExportarProgramacion& m_exporter;
    const bool m_t38a;
    // T38A: set-up row 0 has no product, so the containers are numbered from 0.
    const bool m_shift;
    std::array<quint8, FlagCount> m_flags{};
    // Product fields sent so far, 1..30.
    std::bitset<FlagCount + 1> m_sent;
    // The product whose rows are being collected.
    int m_currentNumber = 0;
    QByteArray m_currentName;
};
