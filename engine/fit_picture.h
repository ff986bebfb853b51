// Fitting a picture to the screen: the overrides of a picture entry, crop, scale, the nine
// positions, roll-and-tile, margins and the desktop colour. Pure pixel work on Picture;
// the calendar is drawn afterwards by the caller.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/area_scaler.h"
#include "engine/picture.h"

namespace vorel {

// The four layout values a composition works with: the globals "Tile", "Position",
// "Resize", "ResizeOver", then the entry's texts applied over them.
struct LayoutChoice {
  bool tile = false;
  int32_t position = 4;
  bool scale = false;
  bool shrinkOnly = false;
  bool operator==(const LayoutChoice&) const = default;
};

// "タイル"/"中央", "する"/"しない", the nine position names; anything else (such as
// "標準") keeps the global value.
LayoutChoice ApplyOverrides(LayoutChoice global, const std::string& tileText, const std::string& sizeText,
                            const std::string& positionText);
// The index of a position name, or -1.
int32_t PositionIndex(const std::string& positionText);

struct Offset {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const Offset&) const = default;
};

Offset PlacementOffset(int32_t position, int32_t areaWidth, int32_t areaHeight, int32_t pictureWidth,
                       int32_t pictureHeight);

// Keeps the middle part of a picture wider or higher than the area.
void CropToArea(Picture& picture, int32_t width, int32_t height);
// Scales to the largest size of the same proportions inside the area (area-averaging when
// shrinking, bilinear when enlarging). An empty picture is left alone.
void ScaleToArea(Picture& picture, int32_t width, int32_t height);

// The picture scaled to exactly width × height, with the given loops.
Picture ScaledTo(const Picture& picture, int32_t width, int32_t height, ScaleLoops loops = ScaleLoops::kBest);

// The desktop colour as 0x00RRGGBB, asked at each fill.
using DesktopColourSource = std::function<uint32_t()>;

struct FitRequest {
  LayoutChoice layout;
  int32_t marginX = 0;  // 0 when margins are off
  int32_t marginY = 0;
  int32_t screenWidth = 0;
  int32_t screenHeight = 0;
};

// After the call the picture has exactly the screen's size.
void FitPicture(Picture& picture, const FitRequest& request, const DesktopColourSource& desktopColour);
// The same fit written into a window of a larger picture, whose size is the screen's (the
// request's screen size is not read): every pixel of the window is written, none outside
// it. The picture is the source and is not changed.
void FitPictureInto(const Picture& picture, const FitRequest& request, const DesktopColourSource& desktopColour,
                    const PixelWindow& target);

// FitPicture for a picture whose rows arrive one after another, as a decoder reads them from
// a file: the fit follows from the picture's size alone, so only the rows and columns that
// reach the screen are asked for, a scaled picture is made from a few rows at a time, and the
// source is never held whole. The pixels are FitPicture's to the bit.
class StreamedFit final : public RowTarget {
 public:
  StreamedFit(const FitRequest& request, DesktopColourSource desktopColour);
  // The same fit written into a part of a larger picture, whose size is the screen's (the
  // request's screen size is not read); Finish then gives an empty picture.
  StreamedFit(const FitRequest& request, DesktopColourSource desktopColour, const PixelWindow& into);
  ~StreamedFit() override;
  StreamedFit(const StreamedFit&) = delete;
  StreamedFit& operator=(const StreamedFit&) = delete;

  bool Begin(int32_t width, int32_t height, bool bottomUp) override;
  int32_t FirstColumn() const override;
  int32_t Columns() const override;
  uint32_t* Row(int32_t y) override;
  void RowDone(int32_t y) override;
  std::pair<int32_t, int32_t> NeededSize(int32_t width, int32_t height) const override;
  // The fitted picture, of the screen's size; nullopt when rows are missing.
  std::optional<Picture> Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The first steps of the calendar stamp: crop to the calendar's area, then place (or roll
// and tile) the picture on an area of that size filled with the desktop colour.
void PlaceOnArea(Picture& picture, bool tile, int32_t position, int32_t width, int32_t height,
                 const DesktopColourSource& desktopColour);

}  // namespace vorel
