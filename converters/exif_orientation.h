// The EXIF orientation of a photo: how the camera was held, which the picture's pixels do not
// show by themselves. Read from a JPEG file's APP1 block or a TIFF file's first directory,
// where the system's metadata reader cannot answer. The file is untrusted: every read is
// bounded, every offset checked, and at most a few small pieces of the file are read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace vorel {

// Reads up to `bytes` bytes at `offset` of the file into the buffer: how many it gave.
using ReadAt = std::function<size_t(uint64_t offset, void* buffer, size_t bytes)>;

// 1 to 8 as EXIF numbers them; 0 when the file is neither JPEG nor TIFF, has no orientation,
// or holds a value outside 1 to 8.
int ExifOrientation(const ReadAt& read, uint64_t fileSize);

// How an orientation maps the stored pixels onto the picture as it is to be seen.
struct OrientationMap {
  bool transposed = false;     // rows become columns (5 to 8): width and height swap
  bool mirrorColumns = false;  // after any transposition, each row is read right to left
  bool mirrorRows = false;     // and the rows bottom to top
};
OrientationMap MapOfOrientation(int orientation);

}  // namespace vorel
