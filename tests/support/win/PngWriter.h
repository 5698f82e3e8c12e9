// Writes 24-bit RGB pixels as a PNG file (zlib from the build's dependencies).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// `rgb` holds height rows of width * 3 bytes, top row first.
bool WritePng(const std::wstring& path, uint32_t width, uint32_t height,
              const std::vector<uint8_t>& rgb);
