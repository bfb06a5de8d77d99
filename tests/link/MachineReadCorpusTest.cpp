// Every input kept for the machine reads' fuzz target goes through the same reads again: the
// seeds (*.t38a, *.mem), records and images the test machines hold, which must be taken
// whole, and the inputs that once broke a read (crash-*, and anything else), which must only
// be read safely.
#include "fuzz/MachineReadFuzz.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

TEST(MachineReadCorpusTest, EveryKeptInputGoesThroughTheReadsAgain)
{
    const QDir corpus(QStringLiteral(ORMI_MACHINE_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(names.isEmpty()) << ORMI_MACHINE_CORPUS;
    for (const QString& name : names) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        const bool whole = ReadMachineFuzzInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
        if (name.endsWith(QLatin1String(".t38a")) || name.endsWith(QLatin1String(".mem"))) {
            EXPECT_TRUE(whole) << name.toStdString();
        }
    }
}
