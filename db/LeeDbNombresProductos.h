#pragma once

#include "db/DBConnection.h"
#include "db/RowIterator.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

// Reads the product-name database NombresProductos.MDB: product names and descriptions by
// language, relay names with their translation, the product-name languages. Opens the
// database read-only, shared with other readers, for its lifetime; a database that does not
// open has been reported once and every question then gets its empty answer.
//
// Names come out as code-page 1252 bytes, the form the catalogue and the machines hold them
// in; names given to it are taken in the same form.
class LeeDbNombresProductos {
public:
    // The product names of this language stand in for a language that has none.
    static constexpr int FallbackLanguage = 2;

    static QString DatabaseName() { return QStringLiteral("NombresProductos.MDB"); }
    // "Error en la base de datos %s:\n%s"
    static constexpr int DatabaseErrorText = 21300;

    // Takes the user-interface language (Ormi/Idioma) and the product-name language
    // (Ormi/IdiomaTextos) from the profile.
    LeeDbNombresProductos();
    virtual ~LeeDbNombresProductos();
    LeeDbNombresProductos(const LeeDbNombresProductos&) = delete;
    LeeDbNombresProductos& operator=(const LeeDbNombresProductos&) = delete;

    bool IsOpen() const { return m_connection != nullptr; }
    // The open database, for the product-name language dialog; null when it did not open.
    DBConnection* GetConnection() { return m_connection.get(); }

    int GetInterfaceLanguage() const { return m_interfaceLanguage; }
    int GetProductNameLanguage() const { return m_productNameLanguage; }
    // Takes effect with the next product-name list.
    void SetProductNameLanguage(int language) { m_productNameLanguage = language; }

    // The relay name without blanks around it, in English when the user interface is not
    // Spanish and the name has a translation. When the relay names cannot be read (the table
    // is missing or damaged) that is reported once, naming the database, and every name of
    // this reader stays untranslated.
    QByteArray TraduceNombreRele(const QByteArray& name);
    // The product names of the product-name language in name order, one a call; false (and
    // the list starts again) after the last one. A row whose product index is no 32-bit whole
    // number is skipped; the first one of a list is reported, naming the database.
    bool LeeSiguienteNombreProducto(QByteArray& name, int& product);
    // The long description and the picture file of a product name of the product-name
    // language; both empty when it is not there. A list in progress goes on undisturbed.
    // False, with both empty, when the names cannot be read: the database did not open (the
    // open has said why) or the look-up failed, which is reported naming the database.
    bool LeeDescripcionProducto(const QByteArray& name, QString& description, QString& pictureFile);

private:
    // The product index of a row: -1 for a null one, none with the reason when it does not convert.
    static std::optional<int> ProductIndex(DBRecordset& row, QString* error);
    // The description with the database's path, in the framework's box.
    void ReportDatabaseError(const QString& description) const;

    int m_interfaceLanguage;
    int m_productNameLanguage;
    std::unique_ptr<DBConnection> m_connection;
    RowIterator m_productNames;
    bool m_badIndexReported = false;
    bool m_relayNamesFailed = false;
};
