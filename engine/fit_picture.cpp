// Fitting a picture to the screen. The source is copied as rarely as possible: cropping is a
// window into the source, and placing, rolling, tiling, the area fill and the margin frame
// are one pass that writes the screen buffer directly. A scaled picture that is not tiled is
// scaled straight into its place in that buffer, so a fit holds at most the source and the
// screen at once.
#include "engine/fit_picture.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace vorel {

namespace {

constexpr std::array<const char*, 9> kPositionNames = {"左上", "左", "左下", "上", "中央", "下", "右上", "右", "右下"};
constexpr int32_t kCentre = 4;

int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Non-negative remainder: the tile grid is rolled either way.
int64_t Mod(int64_t a, int64_t m) {
  const int64_t r = a % m;
  return r < 0 ? r + m : r;
}

// A picture whose pixel vector is shorter than its size claims is treated as empty rather
// than read beyond its end.
bool HasPixels(const Picture& picture) {
  return !picture.Empty() &&
         picture.pixels.size() >= static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height);
}

PixelView WholeView(const Picture& picture) {
  if (!HasPixels(picture)) return {nullptr, 0, std::max(picture.width, 0), std::max(picture.height, 0)};
  return {picture.pixels.data(), picture.width, picture.width, picture.height};
}

// The middle part of the picture that fits the area; the size is that of the cropped
// picture even when it is empty, since the placement is computed from it.
PixelView CropView(const Picture& picture, int32_t width, int32_t height) {
  PixelView view = WholeView(picture);
  if (view.width > width) {
    const int32_t left = (view.width - width) / 2;
    view.width = width;
    if (view.origin) view.origin += left;
  }
  if (view.height > height) {
    const int32_t top = (view.height - height) / 2;
    view.height = height;
    if (view.origin) view.origin += static_cast<int64_t>(top) * view.stride;
  }
  return view;
}

// Largest size of the picture's proportions inside the area, by the stored rule
// (truncating integer arithmetic).
std::pair<int32_t, int32_t> ScaledSize(int32_t pw, int32_t ph, int32_t width, int32_t height) {
  const int64_t w = std::max(width, 0);
  const int64_t h = std::max(height, 0);
  if (static_cast<int64_t>(pw) * h < static_cast<int64_t>(ph) * w)
    return {static_cast<int32_t>(pw * h / ph), static_cast<int32_t>(h)};
  return {static_cast<int32_t>(w), static_cast<int32_t>(ph * w / pw)};
}

// Its pixels are unset unless zeroed: every caller but one writes them all at once.
Picture MakePicture(int32_t width, int32_t height, bool zeroed = false) {
  Picture p;
  p.width = std::max(width, 0);
  p.height = std::max(height, 0);
  const size_t count = static_cast<size_t>(p.width) * static_cast<size_t>(p.height);
  if (zeroed)
    p.pixels.assign(count, 0);
  else
    p.pixels.resize(count);
  return p;
}

// ---- Placement -------------------------------------------------------------------------

// The destination of one composition: a buffer with the area somewhere inside it (or
// covering it), and the colour of the frame around the area.
struct ScreenLayout {
  uint32_t* pixels = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int64_t areaX = 0;
  int64_t areaY = 0;
  int64_t areaWidth = 0;
  int64_t areaHeight = 0;
  uint32_t frameColour = 0;
  int64_t stride = 0;  // from one row to the next when the screen is part of a larger picture; else width

  int64_t Stride() const { return stride ? stride : width; }
};

// What goes into the area: the picture at its offset on the area colour, or the picture
// rolled and tiled over all of it. Without source pixels (leavePicture) the picture's
// rectangle is not written, for a scaler that fills it in afterwards.
struct Placement {
  PixelView picture;
  Offset at;
  bool tile = false;
  bool leavePicture = false;
  uint32_t areaColour = 0;
};

void Fill(uint32_t* out, int64_t n, uint32_t colour) {
  if (n > 0) std::fill_n(out, n, colour);
}

// A tile that is its own source (the picture placed in the area it tiles) is where it
// belongs already.
void Copy(uint32_t* out, const uint32_t* from, int64_t n) {
  if (n > 0 && out != from) std::memcpy(out, from, static_cast<size_t>(n) * sizeof(uint32_t));
}

// Area columns [x0, x1) of area row y.
void ComposeAreaRow(uint32_t* out, int64_t x0, int64_t x1, int64_t y, const Placement& place) {
  const PixelView& pic = place.picture;
  if (place.tile) {
    // The rolled and tiled picture: area (X, Y) shows source ((X − x) mod pw, (Y − y) mod ph).
    const uint32_t* row = pic.Row(Mod(y - place.at.y, pic.height));
    int64_t u = Mod(x0 - place.at.x, pic.width);
    for (int64_t x = x0; x < x1;) {
      const int64_t run = std::min<int64_t>(pic.width - u, x1 - x);
      Copy(out, row + u, run);
      out += run;
      x += run;
      u = 0;
    }
    return;
  }
  const int64_t v = y - place.at.y;
  if ((pic.Empty() && !place.leavePicture) || v < 0 || v >= pic.height) {
    Fill(out, x1 - x0, place.areaColour);
    return;
  }
  const int64_t p0 = std::clamp<int64_t>(place.at.x, x0, x1);
  const int64_t p1 = std::clamp<int64_t>(place.at.x + pic.width, x0, x1);
  Fill(out, p0 - x0, place.areaColour);
  if (!place.leavePicture) Copy(out + (p0 - x0), pic.Row(v) + (p0 - place.at.x), p1 - p0);
  Fill(out + (p1 - x0), x1 - p1, place.areaColour);
}

void Compose(const ScreenLayout& canvas, const Placement& place) {
  const int64_t a0 = std::clamp<int64_t>(canvas.areaX, 0, canvas.width);
  const int64_t a1 = std::clamp<int64_t>(canvas.areaX + canvas.areaWidth, a0, canvas.width);
  for (int64_t row = 0; row < canvas.height; ++row) {
    uint32_t* out = canvas.pixels + row * canvas.Stride();
    const int64_t y = row - canvas.areaY;
    if (y < 0 || y >= canvas.areaHeight || a0 == a1) {
      Fill(out, canvas.width, canvas.frameColour);
      continue;
    }
    Fill(out, a0, canvas.frameColour);
    ComposeAreaRow(out + a0, a0 - canvas.areaX, a1 - canvas.areaX, y, place);
    Fill(out + a1, canvas.width - a1, canvas.frameColour);
  }
}

}  // namespace

int32_t PositionIndex(const std::string& positionText) {
  for (size_t i = 0; i < kPositionNames.size(); ++i)
    if (positionText == kPositionNames[i]) return static_cast<int32_t>(i);
  return -1;
}

LayoutChoice ApplyOverrides(LayoutChoice global, const std::string& tileText, const std::string& sizeText,
                            const std::string& positionText) {
  if (tileText == "タイル") global.tile = true;
  if (tileText == "中央") global.tile = false;
  if (sizeText == "する") global.scale = true;
  if (sizeText == "しない") global.scale = global.shrinkOnly = false;
  if (const int32_t index = PositionIndex(positionText); index >= 0) global.position = index;
  return global;
}

Offset PlacementOffset(int32_t position, int32_t areaWidth, int32_t areaHeight, int32_t pictureWidth,
                       int32_t pictureHeight) {
  // Only a hand-edited store holds a position outside the nine; the formula would put the
  // picture partly or wholly off the area, so it takes the default, the centre.
  if (position < 0 || position > 8) position = kCentre;
  const double x = (position / 3) * 0.5 * (static_cast<double>(areaWidth) - pictureWidth);
  const double y = (position % 3) * 0.5 * (static_cast<double>(areaHeight) - pictureHeight);
  return {ClampToInt32(static_cast<int64_t>(x)), ClampToInt32(static_cast<int64_t>(y))};
}

void CropToArea(Picture& picture, int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (picture.width <= width && picture.height <= height) return;
  const PixelView view = CropView(picture, width, height);
  Picture cropped = MakePicture(view.width, view.height);
  if (!view.Empty())
    for (int32_t y = 0; y < view.height; ++y)
      Copy(cropped.pixels.data() + static_cast<int64_t>(y) * view.width, view.Row(y), view.width);
  picture = std::move(cropped);
}

void ScaleToArea(Picture& picture, int32_t width, int32_t height) {
  if (!HasPixels(picture)) return;
  const auto [w, h] = ScaledSize(picture.width, picture.height, width, height);
  if (w == picture.width && h == picture.height) return;
  Picture scaled = MakePicture(w, h);
  ScaleInto(WholeView(picture), scaled.pixels.data(), w, w, h);
  picture = std::move(scaled);
}

Picture ScaledTo(const Picture& picture, int32_t width, int32_t height, ScaleLoops loops) {
  if (!HasPixels(picture)) return MakePicture(width, height, true);
  Picture scaled = MakePicture(width, height);
  ScaleInto(WholeView(picture), scaled.pixels.data(), scaled.width, scaled.width, scaled.height, loops);
  return scaled;
}

namespace {

// Where a picture of a given size goes on the screen, decided from its size alone, so that
// a source whose rows are still to come is fitted exactly as a whole one.
struct FitPlan {
  ScreenLayout canvas;  // without pixels yet
  // The picture as it is placed: scaled to width × height, or else the window of the source
  // at (cropLeft, cropTop) of that size.
  bool scale = false;
  int32_t width = 0;
  int32_t height = 0;
  int32_t cropLeft = 0;
  int32_t cropTop = 0;
  Offset at;
  bool tile = false;
  // The picture fills a screen without margins: it is the fitted picture already.
  bool same = false;

  // Inside the screen by construction: margins are not negative, the placed size is within
  // the area, and the offset of one of the nine positions keeps it there.
  int64_t ScreenOffset() const { return (canvas.areaY + at.y) * canvas.Stride() + (canvas.areaX + at.x); }
};

FitPlan PlanFit(int32_t pictureWidth, int32_t pictureHeight, bool hasPixels, const FitRequest& request) {
  const LayoutChoice& layout = request.layout;
  FitPlan plan;
  const int32_t screenWidth = std::max(request.screenWidth, 0);
  const int32_t screenHeight = std::max(request.screenHeight, 0);
  // A negative margin (hand-edited store) would make the area larger than the screen, and
  // a scaled picture as large as that area; the frame cannot be thinner than nothing.
  const int64_t mx = std::max(request.marginX, 0);
  const int64_t my = std::max(request.marginY, 0);
  const int32_t areaWidth = static_cast<int32_t>(std::max<int64_t>(screenWidth - 2 * mx, 0));
  const int32_t areaHeight = static_cast<int32_t>(std::max<int64_t>(screenHeight - 2 * my, 0));
  plan.canvas = {nullptr, screenWidth, screenHeight, mx, my, areaWidth, areaHeight, 0};

  // A picture that already fills a screen without margins lands on itself, scaled, tiled
  // or not, and no fill shows.
  plan.same = hasPixels && pictureWidth == screenWidth && pictureHeight == screenHeight && areaWidth == screenWidth &&
              areaHeight == screenHeight;
  const bool scale = layout.scale || (layout.shrinkOnly && (pictureWidth > areaWidth || pictureHeight > areaHeight));
  if (scale && hasPixels && !plan.same) {
    plan.scale = true;
    std::tie(plan.width, plan.height) = ScaledSize(pictureWidth, pictureHeight, areaWidth, areaHeight);
  } else {
    // The size is that of the cropped picture even when it has no pixels, since the
    // placement is computed from it.
    plan.width = std::min(std::max(pictureWidth, 0), areaWidth);
    plan.height = std::min(std::max(pictureHeight, 0), areaHeight);
    plan.cropLeft = (std::max(pictureWidth, 0) - plan.width) / 2;
    plan.cropTop = (std::max(pictureHeight, 0) - plan.height) / 2;
  }
  plan.at = PlacementOffset(layout.position, areaWidth, areaHeight, plan.width, plan.height);
  plan.tile = layout.tile && hasPixels && plan.width > 0 && plan.height > 0 && !plan.same;
  return plan;
}

// The colours of a fit, asked in this order: the area before the frame, each at its fill.
void TakeColours(FitPlan& plan, Placement& place, const DesktopColourSource& desktopColour) {
  if (!place.tile) place.areaColour = desktopColour();
  plan.canvas.frameColour = desktopColour();
}

}  // namespace

namespace {

// A whole picture placed by the plan: its cropped window, or, scaled, left for ComposeWhole
// to scale into its place.
Placement PlaceWhole(const FitPlan& plan, const Picture& picture) {
  Placement place;
  place.tile = plan.tile;
  place.at = plan.at;
  if (plan.scale) {
    place.picture = {nullptr, 0, plan.width, plan.height};
    place.leavePicture = plan.width > 0 && plan.height > 0;
  } else {
    place.picture = CropView(picture, plan.canvas.areaWidth, plan.canvas.areaHeight);
  }
  return place;
}

// The plan's screen composed in its pixels, and a picture left to be scaled scaled into place.
void ComposeWhole(FitPlan& plan, Placement& place, const Picture& picture, const DesktopColourSource& desktopColour) {
  TakeColours(plan, place, desktopColour);
  Compose(plan.canvas, place);
  if (place.leavePicture)
    ScaleInto(WholeView(picture), plan.canvas.pixels + plan.ScreenOffset(), plan.canvas.Stride(), plan.width,
              plan.height);
}

FitRequest IntoWindow(FitRequest request, const PixelWindow& target) {
  request.screenWidth = target.origin ? target.width : 0;
  request.screenHeight = target.origin ? target.height : 0;
  return request;
}

}  // namespace

void FitPicture(Picture& picture, const FitRequest& request, const DesktopColourSource& desktopColour) {
  FitPlan plan = PlanFit(picture.width, picture.height, HasPixels(picture), request);
  if (plan.same) return;

  Placement place = PlaceWhole(plan, picture);
  Picture scaled;  // only for a scaled picture that is tiled
  if (plan.scale && plan.tile) {
    scaled = MakePicture(plan.width, plan.height);
    ScaleInto(WholeView(picture), scaled.pixels.data(), plan.width, plan.width, plan.height);
    picture = Picture{};  // the source is not needed any more: release it before the screen
    place.picture = WholeView(scaled);
    place.leavePicture = false;
  }
  Picture screen = MakePicture(plan.canvas.width, plan.canvas.height);
  plan.canvas.pixels = screen.pixels.data();
  ComposeWhole(plan, place, picture, desktopColour);
  picture = std::move(screen);
}

void FitPictureInto(const Picture& picture, const FitRequest& request, const DesktopColourSource& desktopColour,
                    const PixelWindow& target) {
  FitPlan plan = PlanFit(picture.width, picture.height, HasPixels(picture), IntoWindow(request, target));
  if (plan.canvas.width <= 0 || plan.canvas.height <= 0) return;
  plan.canvas.pixels = target.origin;
  plan.canvas.stride = target.stride;
  if (plan.same) {
    for (int32_t y = 0; y < target.height; ++y)
      Copy(target.Row(y), picture.pixels.data() + static_cast<int64_t>(y) * picture.width, picture.width);
    return;
  }
  Placement place = PlaceWhole(plan, picture);
  if (plan.scale && plan.tile) {
    // Scaled into its place, then tiled from there: no scaled copy beside the target.
    uint32_t* const placed = plan.canvas.pixels + plan.ScreenOffset();
    ScaleInto(WholeView(picture), placed, target.stride, plan.width, plan.height);
    place.picture = {placed, target.stride, plan.width, plan.height};
    place.leavePicture = false;
  }
  ComposeWhole(plan, place, picture, desktopColour);
}

// ---- The streamed fit ------------------------------------------------------------------

struct StreamedFit::State {
  FitRequest request;
  DesktopColourSource desktopColour;
  FitPlan plan;
  Placement place;
  bool bottomUp = false;
  Picture screen;
  PixelWindow into;            // the part of a larger picture written instead of screen, when given
  Picture placed;              // the placed picture, when it is tiled afterwards
  uint32_t* target = nullptr;  // where the placed picture's row 0 goes
  int64_t targetStride = 0;
  // Scaling: the source rows that are still needed, and the next output row.
  std::optional<RowScaler> scaler;
  PixelBuffer ring;
  int32_t ringRows = 0;
  int32_t nextOutput = 0;
  int32_t sourceWidth = 0;
  int32_t sourceHeight = 0;
  int32_t rowsDone = 0;  // output rows made (scaling) or placed rows received (cropping)
  bool failed = false;

  PixelView RingView() const { return {ring.data(), sourceWidth, sourceWidth, sourceHeight, ringRows}; }
  bool OutputReady(int32_t y, int32_t arrived) const {
    const Tap& tap = scaler->RowTap(y);
    return bottomUp ? tap.first >= arrived : tap.first + tap.count - 1 <= arrived;
  }
};

StreamedFit::StreamedFit(const FitRequest& request, DesktopColourSource desktopColour)
    : state_(std::make_unique<State>()) {
  state_->request = request;
  state_->desktopColour = std::move(desktopColour);
}

StreamedFit::StreamedFit(const FitRequest& request, DesktopColourSource desktopColour, const PixelWindow& into)
    : StreamedFit(IntoWindow(request, into), std::move(desktopColour)) {
  state_->into = into;
}

StreamedFit::~StreamedFit() = default;

bool StreamedFit::Begin(int32_t width, int32_t height, bool bottomUp) {
  State& s = *state_;
  if (width <= 0 || height <= 0) return false;
  s.sourceWidth = width;
  s.sourceHeight = height;
  s.bottomUp = bottomUp;
  s.plan = PlanFit(width, height, true, s.request);
  FitPlan& plan = s.plan;
  s.place.tile = plan.tile;
  s.place.at = plan.at;
  s.place.picture = {nullptr, 0, plan.width, plan.height};
  s.place.leavePicture = plan.width > 0 && plan.height > 0;
  try {
    if (plan.scale && s.place.leavePicture) {
      s.scaler.emplace(width, height, plan.width, plan.height, ScaleLoops::kBest);
      s.ringRows = std::min(s.scaler->MostRowsPerOutput() + 1, height);
      s.ring.resize(static_cast<size_t>(s.ringRows) * static_cast<size_t>(width));
      s.nextOutput = bottomUp ? plan.height - 1 : 0;
    }
    if (s.into.origin) {
      // Straight into the part; a tiled picture is placed there and tiled from there.
      plan.canvas.pixels = s.into.origin;
      plan.canvas.stride = s.into.stride;
      if (!plan.tile) {
        TakeColours(plan, s.place, s.desktopColour);
        Compose(plan.canvas, s.place);
      }
      s.target = plan.canvas.pixels + plan.ScreenOffset();
      s.targetStride = s.into.stride;
    } else if (plan.tile) {
      // Tiled afterwards from a picture of the placed size.
      s.placed = MakePicture(plan.width, plan.height);
      s.target = s.placed.pixels.data();
      s.targetStride = plan.width;
    } else {
      TakeColours(plan, s.place, s.desktopColour);
      s.screen = MakePicture(plan.canvas.width, plan.canvas.height);
      plan.canvas.pixels = s.screen.pixels.data();
      Compose(plan.canvas, s.place);
      s.target = s.screen.pixels.data() + plan.ScreenOffset();
      s.targetStride = plan.canvas.width;
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

std::pair<int32_t, int32_t> StreamedFit::NeededSize(int32_t width, int32_t height) const {
  const FitPlan plan = PlanFit(width, height, true, state_->request);
  if (plan.scale && plan.width <= width && plan.height <= height) return {plan.width, plan.height};
  return {width, height};
}

int32_t StreamedFit::FirstColumn() const { return state_->plan.scale ? 0 : state_->plan.cropLeft; }

int32_t StreamedFit::Columns() const {
  const State& s = *state_;
  if (!s.place.leavePicture) return 0;
  return s.plan.scale ? s.sourceWidth : s.plan.width;
}

uint32_t* StreamedFit::Row(int32_t y) {
  State& s = *state_;
  if (!s.place.leavePicture || y < 0 || y >= s.sourceHeight) return nullptr;
  if (s.scaler) return s.ring.data() + static_cast<size_t>(y % s.ringRows) * static_cast<size_t>(s.sourceWidth);
  const int32_t placedRow = y - s.plan.cropTop;
  if (placedRow < 0 || placedRow >= s.plan.height) return nullptr;
  return s.target + placedRow * s.targetStride;
}

void StreamedFit::RowDone(int32_t y) {
  State& s = *state_;
  if (!s.scaler) {
    ++s.rowsDone;
    return;
  }
  const PixelView view = s.RingView();
  const int32_t outputs = s.plan.height;
  while (s.nextOutput >= 0 && s.nextOutput < outputs && s.OutputReady(s.nextOutput, y)) {
    s.scaler->MakeRow(view, s.nextOutput, s.target + s.nextOutput * s.targetStride);
    s.nextOutput += s.bottomUp ? -1 : 1;
    ++s.rowsDone;
  }
}

std::optional<Picture> StreamedFit::Finish() {
  State& s = *state_;
  if (s.rowsDone != (s.place.leavePicture ? s.plan.height : 0)) return std::nullopt;
  s.scaler.reset();
  s.ring = PixelBuffer();
  if (s.into.origin) {
    if (s.plan.tile) {
      s.place.picture = {s.target, s.targetStride, s.plan.width, s.plan.height};
      s.place.leavePicture = false;
      TakeColours(s.plan, s.place, s.desktopColour);
      Compose(s.plan.canvas, s.place);
    }
    return Picture{};
  }
  if (s.plan.tile) {
    s.place.picture = WholeView(s.placed);
    s.place.leavePicture = false;
    TakeColours(s.plan, s.place, s.desktopColour);
    s.screen = MakePicture(s.plan.canvas.width, s.plan.canvas.height);
    s.plan.canvas.pixels = s.screen.pixels.data();
    Compose(s.plan.canvas, s.place);
    s.placed = Picture{};
  }
  return std::move(s.screen);
}

void PlaceOnArea(Picture& picture, bool tile, int32_t position, int32_t width, int32_t height,
                 const DesktopColourSource& desktopColour) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  Placement place;
  place.picture = CropView(picture, width, height);
  place.at = PlacementOffset(position, width, height, place.picture.width, place.picture.height);
  // A picture that already has the area's size lands on itself, tiled or not, and no fill
  // shows.
  if (HasPixels(picture) && picture.width == width && picture.height == height) return;
  place.tile = tile && !place.picture.Empty();
  if (!place.tile) place.areaColour = desktopColour();

  Picture area = MakePicture(width, height);
  Compose({area.pixels.data(), width, height, 0, 0, width, height, 0}, place);
  picture = std::move(area);
}

}  // namespace vorel
