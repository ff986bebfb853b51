// What the GV conversion says to GV: the program file it starts, the picture's extension and
// whether GV is asked to read it, and the exact command texts of GV's DDE interface.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vorel {

// The extensions handed to GV, in the order they are tested.
inline constexpr std::array<std::string_view, 24> kGvExtensions = {
    ".BMP", ".CAM", ".GIF",  ".J6I",  ".JPG",  ".MAG",  ".PIC",  ".PMP", ".SJ1", ".XBM", ".SunRaster", ".PhotoCD",
    ".Pi",  ".TIF", ".JPEG", ".MAKI", ".PIC2", ".PICT", ".TIFF", ".XPM", ".WMF", ".LZH", ".ZIP",       ".X"};

// The extension of the file a path names, from the last "." of the file name, dot
// included, in ASCII upper case; empty when the file name has no dot.
std::string RequestExtension(std::string_view path);

// Whether GV is asked to read a picture with this extension; letter case is ignored.
bool IsGvExtension(std::string_view extension);

// The program file that GvPath names. GV is started by this whole path, so blanks around
// it and the quotes of a path stored in quotes (the way past the folder names with spaces
// that a start by command line stumbles on) are not part of it.
std::string GvProgramFile(std::string_view gvPath);

std::string GvShowCommand();
std::string GvOpenCommand(std::string_view picturePath);
std::string GvSaveCommand(std::string_view outputPath);
std::string GvExitCommand();

}  // namespace vorel
