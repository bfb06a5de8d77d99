#pragma once

#include <cstddef>
#include <cstdint>

// Reads the bytes as what a machine sends into a fresh document. The first byte chooses the
// machine. Even: a T38A one; the low seven bits of the second byte choose the model (modulo 5
// among 19, 21, 22, 23, 24), its top bit whether set-up row 0 has a product, and the rest is
// the configuration data as the bulk transfer collects it. Odd: a classic machine in memory
// mode; the rest is its e2prom image as the 25 blocks from 0x1000, the 25 index entries from
// 0x200 and the temperature byte at 0x2C8, one after the other; a read past the bytes fails.
// Malformed input is reported through a sink that only counts. Result: whether the read took
// every record. The fuzz entry and the replay of the kept inputs both run it.
bool ReadMachineFuzzInput(const uint8_t* data, size_t size);
