// The picture loader. GV can only save to a file, so while it converts, the wallpaper
// file's path is lent to it: the previous content is kept byte for byte and put back
// afterwards, whether the conversion worked or not.
#include "change/load_picture_win32.h"

#include <functional>
#include <memory>
#include <optional>
#include <system_error>

#include "converters/dib.h"
#include "converters/susie_plugin_win32.h"
#include "converters/system_codecs_win32.h"
#include "platform/files.h"

namespace vorel {
namespace {

// The rows are converted as they are read: the file's bytes are never held whole next to
// the picture.
std::optional<Picture> ReadBitmapFile(const std::string& path) {
  std::optional<Picture> picture;
  ReadInOrder(path, [&picture](uint64_t size, const OrderedReader& read) { picture = DecodeBmpStream(read, size); });
  return picture;
}

bool LoadThroughSusie(const std::string& path, Picture& picture, const PictureLoadContext& context) {
  if (!context.susie) return false;
  try {
    Picture decoded;
    if (!context.susie(path, decoded) || decoded.Empty()) return false;
    picture = std::move(decoded);
    return true;
  } catch (const std::exception&) {
    // A file the host cannot read, or a failure inside it, is a refusal like any other.
    return false;
  }
}

// Puts the wallpaper file back as it was before the conversion borrowed its path.
void RestoreWallFile(const std::string& wallFile, const std::optional<std::string>& kept) {
  if (kept) {
    WriteWholeFile(wallFile, *kept);
  } else {
    RemoveFile(wallFile);
  }
}

bool LoadThroughGv(const std::string& path, Picture& picture, const PictureLoadContext& context) {
  if (context.wallFile.empty()) return false;
  auto request = std::make_shared<GvRequest>(path);
  // The whole previous file is kept, not only a readable bitmap: a file that cannot be
  // decoded now is still the user's, and an empty file must not replace it.
  const std::optional<std::string> kept = FileExists(context.wallFile) ? ReadWholeFile(context.wallFile) : std::nullopt;
  if (FileExists(context.wallFile) && !kept) return false;  // unreadable: do not touch it
  RemoveFile(context.wallFile);
  if (FileExists(context.wallFile)) return false;  // still there: its content would pass for GV's output

  GvThreadEnd end;
  try {
    end =
        TGvThread::Start(GvJob{context.gvPath, context.wallFile, request, context.program, context.gvCommandTimeoutMs});
  } catch (const std::system_error&) {
    RestoreWallFile(context.wallFile, kept);
    return false;
  }
  const bool appeared = WaitForGvOutput(context.wallFile, end);

  bool loaded = false;
  if (appeared && !request->Failed()) {
    if (auto converted = ReadBitmapFile(context.wallFile)) {
      picture = std::move(*converted);
      loaded = true;
    }
  }
  RestoreWallFile(context.wallFile, kept);
  return loaded;
}

bool LoadThroughSystemCodecs(const std::string& path, RowTarget& target, const PictureLoadContext& context) {
  return context.systemCodecs && DecodeWithSystemCodecs(path, target, context.desktopColour());
}

}  // namespace

bool LoadPicture(const std::string& path, Picture& picture, const PictureLoadContext& context) {
  if (auto bitmap = ReadBitmapFile(path)) {
    picture = std::move(*bitmap);
    return true;
  }
  if (LoadThroughSusie(path, picture, context)) return true;
  WholePicture decoded;
  if (LoadThroughSystemCodecs(path, decoded, context)) {
    picture = std::move(decoded.picture);
    return true;
  }
  return LoadThroughGv(path, picture, context);
}

uint32_t DesktopColour() {
  const COLORREF c = GetSysColor(COLOR_BACKGROUND);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

namespace {

// The decoders in their order, for a fit: the rows of a bitmap file and of the system's codecs
// go through a streamed fit made by makeFit as they arrive; a plug-in's or GV's picture comes
// whole and goes to fitWhole.
bool LoadThroughTheFit(const std::string& path, const PictureLoadContext& context,
                       const std::function<std::unique_ptr<StreamedFit>()>& makeFit,
                       const std::function<bool(StreamedFit&)>& finish, const std::function<void(Picture&)>& fitWhole) {
  {
    const std::unique_ptr<StreamedFit> fit = makeFit();
    bool streamed = false;
    ReadInOrder(path, [&](uint64_t size, const OrderedReader& read) { streamed = StreamBmpFile(read, size, *fit); });
    if (streamed && finish(*fit)) return true;
  }
  Picture picture;
  if (!LoadThroughSusie(path, picture, context)) {
    const std::unique_ptr<StreamedFit> fit = makeFit();
    if (LoadThroughSystemCodecs(path, *fit, context) && finish(*fit)) return true;
    if (!LoadThroughGv(path, picture, context)) return false;
  }
  fitWhole(picture);
  return true;
}

}  // namespace

bool LoadFittedPicture(const std::string& path, const FitRequest& request, Picture& fitted,
                       const PictureLoadContext& context) {
  return LoadThroughTheFit(
      path, context, [&] { return std::make_unique<StreamedFit>(request, context.desktopColour); },
      [&](StreamedFit& fit) {
        std::optional<Picture> screen = fit.Finish();
        if (screen) fitted = std::move(*screen);
        return screen.has_value();
      },
      [&](Picture& picture) {
        FitPicture(picture, request, context.desktopColour);
        fitted = std::move(picture);
      });
}

bool LoadFittedInto(const std::string& path, const FitRequest& request, const PixelWindow& target,
                    const PictureLoadContext& context) {
  return LoadThroughTheFit(
      path, context, [&] { return std::make_unique<StreamedFit>(request, context.desktopColour, target); },
      [](StreamedFit& fit) { return fit.Finish().has_value(); },
      [&](Picture& picture) { FitPictureInto(picture, request, context.desktopColour, target); });
}

PictureLoadContext LoadContextOf(const Settings& settings, TSusiePlugIn& host) {
  PictureLoadContext context{
      settings.wallFile, settings.gvPath, settings.program,
      [&host](const std::string& path, Picture& target) { return host.LoadFromFile(path, target); }};
  context.systemCodecs = settings.systemCodecs;
  return context;
}

}  // namespace vorel
