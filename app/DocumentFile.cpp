#include "app/DocumentFile.h"

#include "fw/Application.h"
#include "fw/ArchiveReader.h"
#include "fw/ArchiveWriter.h"
#include "fw/AtomicFile.h"
#include "fw/InputFile.h"
#include "fw/MessageBoxes.h"

#include <QDir>

namespace {

void report(int textId, const QString& path = QString())
{
    const QString text = fw::Application::get().strings().format(textId, {QDir::toNativeSeparators(path)});
    fw::MessageBoxes::box(text, fw::MessageButtons::Ok, fw::MessageIcon::Warning);
}

} // namespace

QByteArray DocumentFile::Store(const COrmiDoc& doc)
{
    fw::ArchiveWriter ar;
    doc.Serialize(ar);
    return ar.data();
}

bool DocumentFile::Load(COrmiDoc& doc, QByteArrayView bytes, const COrmiDoc::CatalogueReload& reloadCatalogue)
{
    try {
        fw::ArchiveReader ar(bytes);
        doc.Serialize(ar, reloadCatalogue);
    } catch (const fw::ArchiveError&) {
        doc.OnNewDocument();
        return false;
    }
    doc.SetModifiedFlag(false);
    doc.UpdateAllViews();
    return true;
}

bool DocumentFile::Open(COrmiDoc& doc, const QString& path, const COrmiDoc::CatalogueReload& reloadCatalogue)
{
    const std::optional<QByteArray> bytes = fw::InputFile::read(path, MaxBytes);
    if (!bytes) {
        report(CannotOpenText, path);
        return false;
    }
    if (!Load(doc, *bytes, reloadCatalogue)) {
        doc.SetTitle(QString());
        report(UnexpectedFormatText);
        return false;
    }
    doc.SetPathName(path);
    return true;
}

bool DocumentFile::Save(COrmiDoc& doc, const QString& path)
{
    if (!fw::AtomicFile::write(path, Store(doc))) {
        report(CannotSaveText, path);
        return false;
    }
    doc.SetPathName(path);
    doc.SetModifiedFlag(false);
    return true;
}
