// One fuzz input through PlEXIF: ReadFromData, every tag formatted through every accessor, the
// segment written, read back and written again. Aborts when a written segment cannot be read
// back or does not reproduce itself. Used by the libFuzzer target and the corpus replay test.
#pragma once

#include <cstddef>
#include <cstdint>

void FuzzExifRead(const uint8_t* data, size_t size);
