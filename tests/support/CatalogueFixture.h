#pragma once

#include "tests/support/TestApplication.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

// A catalogue of a test's own making, laid out as the program finds it: both catalogue
// databases (empty tables the readers read) and the files they name in the folder configormi
// of a temporary program folder, which becomes the application's program folder.
// Texts are stored as the databases store them (UTF-8); an invalid QVariant stores NULL.
class CatalogueFixture {
public:
    struct Configuration {
        int code = 0;
        int machineType = 0;
        QString description;
        bool prototype = false;
        QVariant dispenserFile = QVariant();
        QVariant relayFile = QVariant();
        QVariant pictureFile = QVariant();
    };

    explicit CatalogueFixture(TestApplication& app);

    QString programFolder() const { return m_programFolder; }
    QString catalogueFolder() const { return m_programFolder + QStringLiteral("/configormi"); }
    QString configurationsPath() const { return catalogueFolder() + QStringLiteral("/CONFIGURACIONES.MDB"); }
    QString productNamesPath() const { return catalogueFolder() + QStringLiteral("/NombresProductos.MDB"); }

    void AddMachineType(int code, const QString& description, bool flowMeter = false);
    // The configuration and its names: the description in Spanish (0) and "<description> (en)"
    // in English (2).
    void AddConfiguration(const Configuration& configuration);
    void AddProductName(int product, const QString& name, int language, const QVariant& description = {},
                        const QVariant& picture = {});
    void AddRelayName(int code, const QString& name, int language);
    // A file below the catalogue folder ('/' separators); folders are made as needed.
    void WriteFile(const QString& relativePath, const QByteArray& bytes);

    // Runs a statement on one of the two databases (a path above), values bound in order.
    static void Run(const QString& database, const QString& sql, const QVariantList& values = {});

private:
    QString m_programFolder;
};
