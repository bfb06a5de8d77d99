#include "db/FindCatalogueFile.h"

#include "fw/Application.h"
#include "fw/InputFile.h"
#include "fw/WindowsPath.h"

namespace {

constexpr QLatin1String CatalogueFolder("configormi\\");

} // namespace

QString FindCatalogueFile(const QString& name)
{
    if (name.isEmpty())
        return QString();
    fw::Application& application = fw::Application::get();
    const QString programFolder =
        application.programFolder().isEmpty() ? QStringLiteral(".") : application.programFolder();
    const QString besideProgram = fw::WindowsPath::resolve(programFolder + QLatin1Char('/') + CatalogueFolder + name);
    if (fw::InputFile::opens(besideProgram))
        return besideProgram;
    const QString workDir = application.profile().GetString(QStringLiteral("Configuracion"), QStringLiteral("WorkDir"));
    return fw::WindowsPath::resolve(workDir + CatalogueFolder + name);
}
