#pragma once

#include <QByteArray>

// The fixed default names of the 20 product types a dispenser can hold, in Spanish and in
// English. A type outside 0..19 has no name.
class DefaultProductNames {
public:
    static constexpr int Count = 20;

    static QByteArray Spanish(int productType);
    static QByteArray English(int productType);
};

// The default name of a product type in the user-interface language: English when the
// profile's Ormi/Idioma is not 0, Spanish otherwise and while no application exists yet.
QByteArray GetDefaultTypeName(int productType);
