#include "db/FindCatalogueFile.h"

#include "fw/Application.h"
#include "fw/WindowsPath.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr QLatin1String CatalogueFolder("configormi\\");

// Only a regular file counts: opening a FIFO or a device could block for ever.
bool canRead(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

} // namespace

QString FindCatalogueFile(const QString& name)
{
    if (name.isEmpty())
        return QString();
    fw::Application& application = fw::Application::get();
    const QString programFolder =
        application.programFolder().isEmpty() ? QStringLiteral(".") : application.programFolder();
    const QString besideProgram = fw::WindowsPath::resolve(programFolder + QLatin1Char('/') + CatalogueFolder + name);
    if (canRead(besideProgram))
        return besideProgram;
    const QString workDir = application.profile().GetString(QStringLiteral("Configuracion"), QStringLiteral("WorkDir"));
    return fw::WindowsPath::resolve(workDir + CatalogueFolder + name);
}
