#include "tests/res/BundledCatalogue.h"

BundledCatalogue::BundledCatalogue()
    : configurations_(folder() + QStringLiteral("/CONFIGURACIONES.MDB")),
      productNames_(folder() + QStringLiteral("/NombresProductos.MDB"))
{
    const auto result = configurations_.query(QStringLiteral(
        "SELECT CODIGO,TIPO_MAQUINA,PROTOTIPO,FICHERO_DISPENSADORES,FICHERO_RELES,FICHERO_IMAGEN "
        "FROM CONFIGURACIONES ORDER BY CODIGO"));
    for (const auto& row : result.rows) {
        Configuration configuration;
        configuration.code = row[0].toInt();
        configuration.machineType = row[1].toInt();
        configuration.prototype = row[2].toInt() != 0;
        configuration.dispenserFile = row[3].toString();
        configuration.relayFile = row[4].toString();
        configuration.pictureFile = row[5].toString();
        list_.push_back(configuration);
    }
}

QString BundledCatalogue::folder()
{
    return QStringLiteral(ORMI_CATALOGUE_DIR);
}

QString BundledCatalogue::programFolder()
{
    return QStringLiteral(ORMI_PROGRAM_DIR);
}

QString BundledCatalogue::path(const QString& storedName)
{
    QString relative = storedName;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return folder() + QLatin1Char('/') + relative;
}

bool BundledCatalogue::hasDeviceFiles(int machineType)
{
    return machineType < 5 || machineType > 7;
}

QString BundledCatalogue::dispenserPath(const Configuration& configuration)
{
    return filePath(configuration, configuration.dispenserFile);
}

QString BundledCatalogue::relayPath(const Configuration& configuration)
{
    return filePath(configuration, configuration.relayFile);
}

QString BundledCatalogue::filePath(const Configuration& configuration, const QString& storedName)
{
    return path((configuration.prototype ? QStringLiteral("Prototipo\\") : QString()) + storedName);
}
