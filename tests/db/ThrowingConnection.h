#pragma once

#include "db/DAODBConnection.h"

// A connection whose error mode a test sets directly (the program only enters the throw mode
// inside the retrying execute).
class ThrowingConnection : public DAODBConnection {
public:
    explicit ThrowingConnection(bool throwMode = true) { SetThrowMode(throwMode); }
};
