// Loading the chosen picture into the picture bitmap: as a bitmap file, else through the
// Susie plug-ins, else through the system's codecs (when "SystemCodecs" is on), else through
// GV with the wallpaper file's path as GV's output. A change
// loads and fits in one step, so that a bitmap file's rows go through the fit as they are read.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "converters/gv_thread_win32.h"
#include "engine/fit_picture.h"
#include "engine/picture.h"
#include "engine/settings.h"

namespace vorel {

// COLOR_BACKGROUND as 0x00RRGGBB, asked afresh at each call.
uint32_t DesktopColour();

struct PictureLoadContext {
  std::string wallFile;  // the wallpaper file; GV's output goes there for a while
  std::string gvPath;
  ProgramKind program = ProgramKind::kVorelset;
  // The plug-in host's decoder (path, target) → decoded; empty when there is no host.
  std::function<bool(const std::string&, Picture&)> susie;
  bool systemCodecs = false;
  DWORD gvCommandTimeoutMs = kGvCommandTimeoutMs;
  // What the fit fills around the picture with, and what shows through a transparent one.
  DesktopColourSource desktopColour = DesktopColour;
};

// True when picture now holds the file's picture; otherwise picture is unchanged. The
// wallpaper file has its previous content again afterwards, whatever GV did.
class TSusiePlugIn;
// The chain of a program's settings: its wallpaper file, GV, plug-in host and "SystemCodecs".
PictureLoadContext LoadContextOf(const Settings& settings, TSusiePlugIn& host);

bool LoadPicture(const std::string& path, Picture& picture, const PictureLoadContext& context);

// The file's picture fitted as FitPicture fits it: the same decoders in the same order, but a
// plain bitmap file is fitted as its rows are read and never held whole. False when no decoder
// read it; fitted is then unchanged.
bool LoadFittedPicture(const std::string& path, const FitRequest& request, Picture& fitted,
                       const PictureLoadContext& context);

// The same fit written into a part of a larger picture, whose size is the screen's: one
// monitor's part of the virtual screen. False when no decoder read the file; the part may
// then hold a plain bitmap file's rows that came before its fault.
bool LoadFittedInto(const std::string& path, const FitRequest& request, const PixelWindow& target,
                    const PictureLoadContext& context);

}  // namespace vorel
