// libFuzzer entry of the machine reads: the T38A records through the T38A reader and its
// device parsers, the classic blocks through the row decoder and the memory-mode walk. The
// replay test runs the same read over the inputs kept in tests/link/machine-corpus.
#include "fuzz/MachineReadFuzz.h"

#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/SetupT38A.h"
#include "fuzz/FuzzCatalogue.h"
#include "fw/Application.h"
#include "fw/Clock.h"
#include "fw/MessageSink.h"
#include "fw/Profile.h"
#include "fw/ProgramWide.h"
#include "fw/StringTable.h"
#include "fw/WaitUi.h"
#include "link/CGrabadorT38A.h"
#include "link/MemoryImageWriter.h"
#include "link/T38AMachineReader.h"

#include <QTemporaryDir>

#include <array>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::array<int, 5> T38AModels = {19, 21, 22, 23, 24};
constexpr int ClassicModel = 1;
constexpr int SetupRowZeroProduct = 3;

// Boxes are counted, never shown.
class CountingSink : public fw::MessageSink {
public:
    fw::MessageAnswer show(const fw::Message& message) override
    {
        ++shown;
        return message.defaultAnswer;
    }
    int shown = 0;
};

// A wait window that shows nothing.
class SilentWaitUi : public fw::WaitUi {
public:
    bool Inicia() override { return m_active = true; }
    void AsignaMensaje(const QString&) override {}
    void Termina(const QString&) override {}
    void AsignaProgreso(int) override {}
    bool EstaActivo() const override { return m_active; }
    void Detiene() override { m_active = false; }
    void ProcesaMensajes(bool) override {}

private:
    bool m_active = false;
};

// What the framework's application object of every read is made of, made once.
struct Framework {
    QTemporaryDir folder;
    fw::Profile profile{folder.filePath(QStringLiteral("profile.ini"))};
    fw::StringTable strings;
    CountingSink messages;
};

Framework& framework()
{
    static Framework instance;
    return instance;
}

bool readT38A(QByteArrayView input)
{
    if (input.isEmpty())
        return false;
    const quint8 choice = quint8(input[0]);
    fw::ProgramWide<SetupT38A>::Scope setup;
    if (choice & 0x80) {
        auto row = setup.object().GetSetupRow(0).value();
        row.productIndex = SetupRowZeroProduct;
        setup.object().SetSetupRow(0, row);
    }
    COrmiDoc document;
    document.SetMachineModel(T38AModels[(choice & 0x7F) % T38AModels.size()]);
    SilentWaitUi wait;
    CGrabadorT38A recorder(wait, framework().profile, fw::Clock::System());
    const bool whole = T38AMachineReader(document, recorder).Take(input.sliced(1).toByteArray());
    recorder.CierraEspera();
    return whole;
}

// The image's parts in the input's order: blocks, index entries, temperature.
qsizetype imageOffset(quint32 address)
{
    constexpr quint32 blocks = MemoryImageWriter::BlockCount * MemoryImageWriter::BlockLength;
    constexpr quint32 entries = 3 * MemoryImageWriter::BlockCount;
    if (address >= MemoryImageWriter::FirstBlocks && address < MemoryImageWriter::FirstBlocks + blocks)
        return qsizetype(address - MemoryImageWriter::FirstBlocks);
    if (address >= MemoryImageWriter::IndexAddress && address < MemoryImageWriter::IndexAddress + entries)
        return qsizetype(blocks + address - MemoryImageWriter::IndexAddress);
    if (address == MemoryImageWriter::TemperatureAddress)
        return qsizetype(blocks + entries);
    return -1;
}

bool readClassicMemory(QByteArrayView image)
{
    COrmiDoc document;
    document.SetMachineModel(ClassicModel);
    const auto read = [image](quint32 address, int length, quint8* destination) {
        const qsizetype offset = imageOffset(address);
        if (offset < 0 || length < 0 || offset + length > image.size())
            return false;
        std::memcpy(destination, image.data() + offset, std::size_t(length));
        return true;
    };
    return document.ReadMemoryImage(read, [](int) {});
}

} // namespace

bool ReadMachineFuzzInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return false;
    Framework& parts = framework();
    const fw::Application application(parts.profile, parts.strings, parts.messages);
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    FillFuzzDeviceTypes(cfg.object());
    const QByteArrayView input(reinterpret_cast<const char*>(data), qsizetype(size));
    return (data[0] & 1) == 0 ? readT38A(input.sliced(1)) : readClassicMemory(input.sliced(1));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ReadMachineFuzzInput(data, size);
    return 0;
}
