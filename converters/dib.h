// Device-independent bitmaps (the BITMAPINFO + bits pairs that plug-ins hand back and that
// .bmp files hold) decoded into a Picture without Windows, reading every header and pixel
// layout that GDI's SetDIBits accepts. The input is untrusted: every read is bounded by the
// sizes given, and anything inconsistent is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
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

// Reads the next bytes in order into the buffer: how many it gave, 0 at the end or on error.
using ByteReader = std::function<size_t(void* buffer, size_t bytes)>;

// The picture of a .bmp file of fileSize bytes, read through `read` from the start, its rows
// handed to target as they arrive (bottom row first where the file stores them so), chunkBytes
// of them at a time, only the columns the target asks for converted: a plain file's bytes and
// pixels are never held whole. Other layouts (run lengths, misplaced bits) are decoded from the
// whole file and then handed over. False when the file is no bitmap, or is broken, or the
// target refused it; the target may then have been given some rows.
bool StreamBmpFile(const ByteReader& read, uint64_t fileSize, RowTarget& target, size_t chunkBytes = 1u << 20);

// The same picture as DecodeBmpFile of the file's fileSize bytes, read through `read` from
// the start: rows are converted as they arrive, chunkBytes of them at a time, so a plain
// file's bytes are never held whole. Other layouts are read whole and decoded as above.
std::optional<Picture> DecodeBmpStream(const ByteReader& read, uint64_t fileSize, size_t chunkBytes = 1u << 20);

}  // namespace vorel
