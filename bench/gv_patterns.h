// The picture patterns a known GV gives with no plug-in loaded, in their order.
#pragma once

#include <string>
#include <vector>

namespace vorel {

inline std::vector<std::string> GvPatterns() {
  return {"*.CAM",  "*.GIF",       "*.J6I",     "*.JPG", "*.MAG", "*.PIC",  "*.PMP",  "*.SJ1",
          "*.XBM",  "*.SUNRASTER", "*.PHOTOCD", "*.PI",  "*.TIF", "*.TIFF", "*.MAKI", "*.PIC2",
          "*.PICT", "*.XPM",       "*.WMF",     "*.LZH", "*.ZIP", "*.X",    "*.BMP",  "*.JPEG"};
}

}  // namespace vorel
