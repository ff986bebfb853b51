// Writing a picture as a Windows bitmap file: 24 bits per pixel, bottom-up, no colour
// table — the form every viewer and the desktop read.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "engine/picture.h"

namespace vorel {

// Receives the file's bytes in order; false stops the encoding.
using ByteSink = std::function<bool(std::string_view)>;

// Encodes in pieces of about chunkBytes (at least one row), so a large wallpaper goes to
// the disk without a second full-size copy in memory. False when the sink refused.
bool StreamBmp24(const Picture& picture, const ByteSink& sink, size_t chunkBytes = 1u << 20);
// The picture rolled on its way out: the file's pixel (x, y) is the picture's pixel
// ((x + rollX) mod width, (y + rollY) mod height), for a system that tiles the file from
// another corner than the picture's.
bool StreamBmp24Rolled(const Picture& picture, int32_t rollX, int32_t rollY, const ByteSink& sink,
                       size_t chunkBytes = 1u << 20);

std::string EncodeBmp24(const Picture& picture);

}  // namespace vorel
