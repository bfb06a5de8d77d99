#pragma once

#include "app/DispenserTable.h"

#include <QByteArrayView>

#include <optional>

// One line of a model's dispenser file: the dispenser number and its six values,
//   | <dispenser> | <v1> | <v2> | <v3> | <v4> | <v5> | <v6> |
class DispenserFileLine {
public:
    int dispenser = 0; // 1..row count
    DispenserTable::Row values{};

    // The line when it gives all seven numbers and its dispenser lies in 1..row count.
    static std::optional<DispenserFileLine> Read(QByteArrayView line, int rowCount);
};
