#pragma once

#include <cstddef>
#include <cstdint>

// Counts and extracts the frames of the bytes as GIF data, aborting when a step claims a
// frame without moving on, when counting and extraction disagree, or when a re-packed frame
// is not a GIF of exactly that one frame. Result: the frames found. The fuzz entry and the
// replay of the kept inputs both run it.
int SplitGifFuzzInput(const uint8_t* data, size_t size);
