// Writing a picture as a Windows bitmap file: 24 bits per pixel, bottom-up, no colour
// table — the form every viewer and the desktop read.
#pragma once

#include <cstdint>
#include <string>

#include "engine/picture.h"

namespace vorel {

std::string EncodeBmp24(const Picture& picture);

}  // namespace vorel
