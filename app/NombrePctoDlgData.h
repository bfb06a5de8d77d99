#pragma once

#include "app/ProductNameEncoding.h"

#include <QByteArray>
#include <QString>

// The fields of the product-text dialog of the T38A set-up (NombrePctoDispensadorT38A): the
// machine text of a product name, typed or converted from its UTF-16 form.
struct NombrePctoDlgData {
    static constexpr int MaxWideUnits = 37; // and a terminator: 38 units

    QString caption;
    QByteArray name; // as the machine shows it, in the code page
    quint32 codePage = GetNameCodePage();
    QString wideName; // at most 37 units
};
