// libFuzzer entry of the document file's reader; the replay test runs the same load over the
// inputs kept in tests/app/docfile-corpus.
#include "fuzz/DocumentFileFuzz.h"

#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/DocumentFile.h"
#include "app/SetupT38A.h"
#include "fuzz/FuzzCatalogue.h"
#include "fw/ProgramWide.h"

#include <cstdint>
#include <cstdlib>

namespace {

// A catalogue with device types and product names, so that loaded rows look their names up.
void fillCatalogue(CCfg& cfg)
{
    FillFuzzDeviceTypes(cfg);
    cfg.ResetDispenserTable();
    for (int row = 0; row < 4; ++row)
        cfg.SetDispenserRow(row, {row, 1, row % 2 + 1, 0, row + 1, 0});
    cfg.ResizeProductNames();
    for (int index = 0; index < 40; ++index)
        cfg.SetProductName(index, "PRODUCTO " + QByteArray::number(index));
}

} // namespace

bool LoadFuzzInput(const uint8_t* data, size_t size)
{
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fillCatalogue(cfg.object());
    fw::ProgramWide<SetupT38A>::Scope setup;
    const auto noReload = [](int) {};

    COrmiDoc doc;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!DocumentFile::Load(doc, bytes, noReload))
        return false;
    // Whatever opens must save into a file that opens again.
    const QByteArray stored = DocumentFile::Store(doc);
    COrmiDoc again;
    if (!DocumentFile::Load(again, stored, noReload))
        std::abort();
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LoadFuzzInput(data, size);
    return 0;
}
