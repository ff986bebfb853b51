// The system's own picture codecs (the Windows Imaging Component, which every Windows since 7
// has): JPEG, PNG, GIF, TIFF, ICO and the rest, and whatever codecs the user has installed.
// The caller's thread must be in a COM apartment (ComApartment); without one nothing decodes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/picture.h"

namespace vorel {

// "*.EXT", upper case, for every file extension of every decoder the system reports now, in
// the order it reports them, each once. Empty when the codecs cannot be asked.
std::vector<std::string> SystemCodecPatterns();

// The first frame of the file as the system decodes it, whatever the file's name says: turned
// upright by its EXIF orientation, composed over `background` (0x00RRGGBB) where it is
// transparent, its rows handed to `target` (only the columns it asks for, and as few pixels as
// the decoder can cheaply give when the target shrinks the picture to half or less). False
// when no codec reads it, it is larger than a picture may be, or it breaks off.
bool DecodeWithSystemCodecs(const std::string& path, RowTarget& target, uint32_t background);

}  // namespace vorel
