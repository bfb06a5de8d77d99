// Every input kept for the document file's fuzz target goes through the same load again:
// the seeds (*.caf), which must load, and the inputs that once broke the reader (crash-*,
// and anything else), which must only be read safely.
#include "fuzz/DocumentFileFuzz.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

TEST(DocumentFileCorpusTest, EveryKeptInputGoesThroughTheReaderAgain)
{
    const QDir corpus(QStringLiteral(ORMI_DOCFILE_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(names.isEmpty()) << ORMI_DOCFILE_CORPUS;
    for (const QString& name : names) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        const bool loaded = LoadFuzzInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
        if (name.endsWith(QLatin1String(".caf"))) {
            EXPECT_TRUE(loaded) << name.toStdString();
        }
    }
}
