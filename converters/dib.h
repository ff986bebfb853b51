// Device-independent bitmaps (the BITMAPINFO + bits pairs that plug-ins hand back and that
// .bmp files hold) decoded into a Picture without Windows, reading every header and pixel
// layout that GDI's SetDIBits accepts. The input is untrusted: every read is bounded by the
// sizes given, and anything inconsistent is refused.
#pragma once

#include <cstddef>
#include <optional>

#include "engine/picture.h"

namespace vorel {

// `info` is a BITMAPCOREHEADER or BITMAPINFOHEADER (or a V4/V5 header) followed by its colour
// masks or colour table, `infoSize` bytes readable; `bits` are the pixel rows (or RLE data).
std::optional<Picture> DecodeDib(const void* info, size_t infoSize, const void* bits, size_t bitsSize);

// Header, colour table and bits in one block, the bits right after the colour table.
std::optional<Picture> DecodePackedDib(const void* data, size_t size);

// A whole .bmp file: BITMAPFILEHEADER ("BM") followed by a packed DIB.
std::optional<Picture> DecodeBmpFile(const void* data, size_t size);

}  // namespace vorel
