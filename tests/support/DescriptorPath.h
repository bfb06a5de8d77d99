#pragma once

#include <QString>

// The path the kernel holds for an open descriptor (as /proc shows it); empty when it cannot
// be read.
QString descriptorPath(int fd);
