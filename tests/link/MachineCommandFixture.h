#pragma once

#include "app/COrmiDoc.h"
#include "tests/link/MachineTestEnvironment.h"
#include "tests/support/ClassicMachine.h"
#include "tests/support/PtyPair.h"
#include "tests/support/T38AMachine.h"

#include <memory>
#include <string>

// The machine commands of the document run as in the program, on a pseudo-terminal known as
// COM1: a catalogue with the classic model 1 (relay file RELES_C200.TXT) and the T38A model
// 21, the program-wide catalogue and set-up tables, and scripted model dialog, wait window
// and question about unsaved changes. The machine is started by the test.
class MachineCommandFixture : public MachineTestEnvironment {
protected:
    static constexpr int ClassicModel = 1;
    static constexpr int T38AModel = 21;

    MachineCommandFixture();

    // A classic machine in that mode, holding two products, sugar times and a temperature
    // written into it by the write command.
    void startClassicMachine(ClassicMachine::Mode mode);
    // A T38A machine holding container names, set-up values, a temperature, sugar times and
    // twelve products: several blocks of the bulk transfer.
    void startT38AMachine();

    static QByteArray hex(QByteArrayView data);
    // A T38A product record: header, name, a hot water of 100 pulses on valve 2, FF and the
    // number, as hexadecimal text.
    static QByteArray t38aProduct(int number, const QByteArray& name);
    // One description line a line, for readable failures.
    static std::string lines(const QStringList& description);

    PtyPair pty;
    std::unique_ptr<ClassicMachine> classic;
    std::unique_ptr<T38AMachine> t38a;
};
