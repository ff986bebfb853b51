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

std::string EncodeBmp24(const Picture& picture);

}  // namespace vorel
