// The host for Susie plug-ins (".spi" DLLs): loads them from a folder, keeps the usable
// ones, grows the open-dialog filter from what they declare, and decodes a file through the
// first plug-in that accepts it. Plug-ins are foreign code: their output is validated, and a
// plug-in that faults inside a call counts as refusing and is not called again.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "converters/patterns.h"
#include "engine/picture.h"
#include "engine/settings.h"
#include "platform/unique_handle.h"

namespace vorel {

// The plug-in interface, all __stdcall. Texts are in the ANSI code page.
using SusieProgressCallback = int(__stdcall*)(int number, int total, LONG userValue);
using GetPluginInfoFunction = int(__stdcall*)(int infoNumber, char* buffer, int bufferLength);
using IsSupportedFunction = int(__stdcall*)(const char* fileName, const void* data);
using GetPictureFunction = int(__stdcall*)(const char* buffer, LONG length, UINT flag, HLOCAL* info, HLOCAL* bits,
                                           SusieProgressCallback progress, LONG userValue);
using GetPictureInfoFunction = int(__stdcall*)(const char* buffer, LONG length, UINT flag, void* pictureInfo);

struct SusiePlugInFile {
  UniqueModule module;
  std::string fileName;     // full path the DLL was loaded from
  std::string version;      // information number 0, "00IN" for picture decoders
  std::string name;         // 1
  std::string pattern;      // 2, upper case, e.g. "*.JPG"
  std::string description;  // 3
  GetPluginInfoFunction getPluginInfo = nullptr;
  GetPictureInfoFunction getPictureInfo = nullptr;  // kept, never called
  IsSupportedFunction isSupported = nullptr;
  GetPictureFunction getPicture = nullptr;
  bool broken = false;  // faulted inside a call
};

class TSusiePlugIn {
 public:
  TSusiePlugIn() = default;
  ~TSusiePlugIn() { UnloadPlugins(); }
  TSusiePlugIn(const TSusiePlugIn&) = delete;
  TSusiePlugIn& operator=(const TSusiePlugIn&) = delete;

  // mask: folder + "\*.SPI". Returns the number of plug-ins this call accepted.
  int LoadPlugins(const std::string& mask);
  int UnloadPlugins();
  const SusiePlugInFile* PluginAt(int index, const SusiePlugInFile* fallback) const;
  // False when the file cannot be read or no plug-in decodes it.
  bool LoadFromFile(const std::string& path, Picture& picture);
  bool LoadFromMemory(const void* data, size_t size, Picture& picture);
  bool LoadFromStream(std::span<const uint8_t> stream, size_t size, Picture& picture);

  const std::string& FilterText() const { return filterText_; }
  int Count() const { return static_cast<int>(plugins_.size()); }

 private:
  std::vector<std::unique_ptr<SusiePlugInFile>> plugins_;
  std::string filterText_{kInitialFilterText};
};

// The descriptive name (information number 1) of one plug-in file, read with the DLL loaded
// only for the call; nullopt when the file is not a loadable plug-in or faults.
std::optional<std::string> PluginDescriptiveName(const std::string& path);

// Loads the plug-ins of `susiePath` into the host and rebuilds the picture-file patterns and
// the open dialog's filter, with the formats of the system's codecs after the plug-ins' when
// systemCodecs is on (asked of the system at each scan, so codecs installed since are seen).
// Vorelrun keeps repeated patterns.
PatternScan ScanPlugins(TSusiePlugIn& host, const std::string& susiePath, bool gvKnown, ProgramKind program,
                        bool systemCodecs = false);

}  // namespace vorel
