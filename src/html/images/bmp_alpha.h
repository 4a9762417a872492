#pragma once
// BMP files whose pixels carry alpha: 16- or 32-bit bit-field files with an
// alpha mask, and 32-bit files of the larger headers (56 bytes or more) that
// name an alpha mask. They are shown blended, as browsers show them; a file
// whose alpha bits are all zero has alpha it does not use, and is opaque.
#include <cstddef>
#include <cstdint>
#include <vector>

// True, with the pixels (0xAARRGGBB, not premultiplied, rows top-down), for
// such a file; false for any other BMP, and for one whose header or pixels
// are damaged (the ordinary BMP reader then gives its error).
bool DecodeBmpAlpha(const void* data, size_t size, int& width, int& height, std::vector<uint32_t>& pixels);
