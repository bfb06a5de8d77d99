#include "tests/link/MachineCommandFixture.h"

#include "link/MandaTrama485.h"
#include "tests/support/ClassicProducts.h"

MachineCommandFixture::MachineCommandFixture()
{
    catalogue.AddMachineType(1, "Dravolino C-200");
    catalogue.AddMachineType(6, "Dravolino T38A-C", true);
    catalogue.AddConfiguration({.code = ClassicModel, .machineType = 1, .description = "C",
                                .dispenserFile = "DISP_C1.TXT", .relayFile = "RELES_C200.TXT"});
    catalogue.AddConfiguration({.code = T38AModel, .machineType = 6, .description = "T"});
    catalogue.WriteFile("RELES_C200.TXT", "| 1 | DISPENSADOR 1 | 0xF1 | 1 |\r\n"
                                          "| 2 | DISPENSADOR 2 | 0xF1 | 2 |\r\n"
                                          "| 3 | BATIDOR 1 | 0xF3 | 1 |\r\n"
                                          "| 4 | ELECTROVALVULA 1 | 0xF4 | 1 |\r\n");
    catalogue.WriteFile("DISP_C1.TXT", "| 1 | 3 | 1 | 1 | 1 | 0 | 0 |\r\n");
    app.profile().WriteString("Configuracion", "WorkDir", app.tempPath("work/"));
    app.profile().WriteString("Puertos", "COM1", pty.slavePath());
    MandaTrama485::AsignaSecuencia('0');
}

void MachineCommandFixture::startClassicMachine(ClassicMachine::Mode mode)
{
    classic = std::make_unique<ClassicMachine>(pty.master(), mode);
    COrmiDoc written;
    written.GetSugar().SetTimes(11, 22, 33);
    written.SetWorkingTemperature(92);
    addClassicProduct(written, 1, 1, 1, 0, 1, {{0, 5, 40}, {3, 250, 600}});
    addClassicProduct(written, 2, 2, 0, 1, 0, {{1, 0, 30}});
    host.queueOk(ClassicModel);
    written.WriteToMachine();
    ASSERT_EQ(wait.finalTexts, QStringList{"CAFETERA CONFIGURADA CORRECTAMENTE"});
    wait.finalTexts.clear();
}

void MachineCommandFixture::startT38AMachine()
{
    t38a = std::make_unique<T38AMachine>(pty.master());
    t38a->setRecord('Q', 1, hex("LECHE FRESCA"));
    t38a->setRecord('Q', 2, hex("CACAO"));
    t38a->setRecord('6', 1, QByteArray("\x50\x12", 2));
    t38a->setRecord('E', 2, QByteArray("\x75\x00", 2));
    t38a->setRecord('L', 0, QByteArray("\x91\x00", 2));
    t38a->setRecord('4', 0, hex(QByteArray("\xF2\x09\x08\x07\xFF", 5)));
    for (int field = 1; field <= 12; ++field)
        t38a->setRecord('5', quint8(field), t38aProduct(field, "PRODUCTO DE LA CASA " + QByteArray::number(field)));
}

QByteArray MachineCommandFixture::hex(QByteArrayView data) { return data.toByteArray().toHex().toUpper(); }

QByteArray MachineCommandFixture::t38aProduct(int number, const QByteArray& name)
{
    QByteArray bytes;
    bytes += char(0xF0);
    bytes += char(number);
    bytes += char(0xF9);
    bytes += char(name.size());
    bytes += name;
    bytes += QByteArray("\xF4\x02\x80\x00\x81\x64\xFF", 7);
    bytes += char(number);
    return hex(bytes);
}

std::string MachineCommandFixture::lines(const QStringList& description)
{
    return description.join('\n').toStdString();
}
