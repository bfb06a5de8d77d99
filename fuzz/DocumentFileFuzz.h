#pragma once

#include <cstddef>
#include <cstdint>

// Loads the bytes as a document file with a small catalogue and, when they load, checks that
// the document saves into a file that loads again (aborting when it does not). Result:
// whether the bytes loaded. The fuzz entry and the replay of the kept inputs both run it.
bool LoadFuzzInput(const uint8_t* data, size_t size);
