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

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

// A rectangle of some picture's pixels; cropping only moves the window. A ring view holds
// only `ring` rows of a taller picture, row y in slot y mod ring: the rows a streamed source
// has delivered and the scaler still needs.
struct PixelView {
  const uint32_t* origin = nullptr;
  int64_t stride = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t ring = 0;

  bool Empty() const { return origin == nullptr || width <= 0 || height <= 0; }
  const uint32_t* Row(int64_t y) const { return origin + (ring > 0 ? y % ring : y) * stride; }
};

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

// ---- Resampling ------------------------------------------------------------------------
//
// Separable: each output row first sums the source rows it covers (per channel, into a
// row of accumulators), then each output pixel sums the accumulated columns it covers. Only
// one row of accumulators lives beside the source and the destination. Weights are fixed
// point and sum to exactly kOne along each axis, so a flat colour stays exactly flat.

constexpr int kWeightBits = 14;
constexpr int32_t kOne = 1 << kWeightBits;
// The accumulated rows are narrowed to 8.8 fixed point so that the second pass fits in
// 32 bits: 255·256 · kOne < 2^31.
constexpr int kNarrowBits = kWeightBits - 8;
constexpr int kFinalBits = kWeightBits + 8;

struct Tap {
  int32_t first = 0;    // first source index
  int32_t count = 0;    // number of source indices
  int32_t weights = 0;  // position of the first weight in AxisFilter::weights
};

struct AxisFilter {
  std::vector<Tap> taps;  // one per output index
  std::vector<int32_t> weights;
};

// Shrinking: the exact source stretch an output pixel covers, with the partial pixels at
// its ends weighted by how much of them it covers. Distances are in units of 1/dst source
// pixels, so output i covers [i·src, (i+1)·src) and source k covers [k·dst, (k+1)·dst).
// Weights come from rounded cumulative sums, which makes them add up to kOne exactly.
void AddBoxTaps(AxisFilter& f, int32_t src, int32_t dst) {
  for (int64_t i = 0; i < dst; ++i) {
    const int64_t begin = i * src;
    const int64_t end = begin + src;
    Tap tap{static_cast<int32_t>(begin / dst), 0, static_cast<int32_t>(f.weights.size())};
    int64_t previous = 0;
    for (int64_t k = tap.first; k * dst < end; ++k) {
      const int64_t covered = std::min((k + 1) * dst, end) - begin;
      const int64_t rounded = (covered * kOne + src / 2) / src;
      f.weights.push_back(static_cast<int32_t>(rounded - previous));
      previous = rounded;
      ++tap.count;
    }
    f.taps.push_back(tap);
  }
}

// Enlarging: linear between the two source pixels whose centres surround the output pixel's
// centre, (i + ½)·src/dst − ½; beyond the outer centres the edge pixel is repeated.
void AddLinearTaps(AxisFilter& f, int32_t src, int32_t dst) {
  const int64_t denominator = 2 * static_cast<int64_t>(dst);
  for (int64_t i = 0; i < dst; ++i) {
    const int64_t numerator = (2 * i + 1) * src - dst;
    Tap tap{0, 1, static_cast<int32_t>(f.weights.size())};
    int32_t upper = 0;
    if (numerator > 0) {
      const int64_t k = numerator / denominator;
      tap.first = static_cast<int32_t>(std::min<int64_t>(k, src - 1));
      if (k < src - 1) upper = static_cast<int32_t>(((numerator % denominator) * kOne + dst) / denominator);
    }
    if (upper == 0) {
      f.weights.push_back(kOne);
    } else {
      f.weights.push_back(kOne - upper);
      f.weights.push_back(upper);
      tap.count = 2;
    }
    f.taps.push_back(tap);
  }
}

AxisFilter MakeFilter(int32_t src, int32_t dst) {
  AxisFilter f;
  f.taps.reserve(static_cast<size_t>(dst));
  if (dst < src)
    AddBoxTaps(f, src, dst);
  else
    AddLinearTaps(f, src, dst);  // equal sizes give single kOne weights
  return f;
}

struct Accumulator {
  std::vector<int32_t> red, green, blue;
  explicit Accumulator(size_t n) : red(n), green(n), blue(n) {}
};

// Channels and weights are multiplied as signed 16-bit numbers into 32 bits, which vector
// units do directly; a full 32-bit multiply they may have to emulate.
inline int16_t ChannelAt(uint32_t p, int shift) { return static_cast<int16_t>((p >> shift) & 0xFF); }

// Weighted sum of source rows into the accumulators, then narrowed to 8.8 fixed point.
void AccumulateRows(const PixelView& src, const Tap& tap, const int32_t* weights, Accumulator& acc) {
  const size_t n = static_cast<size_t>(src.width);
  int32_t* __restrict r = acc.red.data();
  int32_t* __restrict g = acc.green.data();
  int32_t* __restrict b = acc.blue.data();
  for (int32_t t = 0; t < tap.count; ++t) {
    const uint32_t* __restrict s = src.Row(tap.first + t);
    const int16_t w = static_cast<int16_t>(weights[t]);
    if (t == 0) {
      for (size_t x = 0; x < n; ++x) {
        r[x] = ChannelAt(s[x], 16) * w;
        g[x] = ChannelAt(s[x], 8) * w;
        b[x] = ChannelAt(s[x], 0) * w;
      }
    } else {
      for (size_t x = 0; x < n; ++x) {
        r[x] += ChannelAt(s[x], 16) * w;
        g[x] += ChannelAt(s[x], 8) * w;
        b[x] += ChannelAt(s[x], 0) * w;
      }
    }
  }
  constexpr int32_t half = 1 << (kNarrowBits - 1);
  for (size_t x = 0; x < n; ++x) {
    r[x] = (r[x] + half) >> kNarrowBits;
    g[x] = (g[x] + half) >> kNarrowBits;
    b[x] = (b[x] + half) >> kNarrowBits;
  }
}

void ResampleRow(const Accumulator& acc, const AxisFilter& filter, uint32_t* out) {
  const int32_t* r = acc.red.data();
  const int32_t* g = acc.green.data();
  const int32_t* b = acc.blue.data();
  constexpr int32_t half = 1 << (kFinalBits - 1);
  for (const Tap& tap : filter.taps) {
    const int32_t* w = filter.weights.data() + tap.weights;
    int32_t sr = half, sg = half, sb = half;
    for (int32_t t = 0; t < tap.count; ++t) {
      const size_t k = static_cast<size_t>(tap.first + t);
      sr += r[k] * w[t];
      sg += g[k] * w[t];
      sb += b[k] * w[t];
    }
    *out++ = (static_cast<uint32_t>(std::min(sr >> kFinalBits, 255)) << 16) |
             (static_cast<uint32_t>(std::min(sg >> kFinalBits, 255)) << 8) |
             static_cast<uint32_t>(std::min(sb >> kFinalBits, 255));
  }
}

#ifdef __SSE2__
// The same two passes four channels at a time, with pmaddwd doing two multiplications and
// their sum per channel. The vertical pass takes its source rows in pairs and stores each
// accumulated column as four 16-bit numbers, (b, g, r, x) as the pixel's bytes lie in
// memory; the horizontal pass takes those columns in pairs. Every sum is the plain loops'
// sum in the same order of rounding, so the pixels are the same to the bit.
//
// The narrowed columns reach 255·256, beyond a signed 16-bit number, so they are stored
// less 2^15; the horizontal pass adds back 2^15 · kOne, since the weights of each output
// pixel sum to exactly kOne. The fourth byte of a pixel goes through the sums like the
// others (it cannot overflow them) and is cleared at the end.
constexpr int32_t kNarrowBias = 1 << 15;

// Two 16-bit weights for pmaddwd: the first multiplies the lower number of each pair.
int32_t WeightPair(int32_t first, int32_t second) {
  return static_cast<int32_t>((static_cast<uint32_t>(first) & 0xFFFF) | (static_cast<uint32_t>(second) << 16));
}

// One output row's source rows, paired. An odd last row is paired with itself at weight 0.
struct RowPairs {
  std::vector<const uint32_t*> rows;
  std::vector<int32_t> weights;
  int32_t count = 0;
  // The rows after these, which the next output rows read.
  const char* ahead = nullptr;
  size_t aheadBytes = 0;

  void Set(const PixelView& src, const Tap& tap, const int32_t* w) {
    const int64_t next = tap.first + tap.count;
    // A ring's rows are in the cache already, and the next ones have not arrived.
    ahead = next < src.height && src.ring == 0 ? reinterpret_cast<const char*>(src.Row(next)) : nullptr;
    aheadBytes =
        ahead ? static_cast<size_t>((src.Row(src.height - 1) + src.width) - src.Row(next)) * sizeof(uint32_t) : 0;
    count = (tap.count + 1) / 2;
    rows.resize(2 * static_cast<size_t>(count));
    weights.resize(static_cast<size_t>(count));
    for (int32_t p = 0; p < count; ++p) {
      const int32_t t = 2 * p;
      const bool pair = t + 1 < tap.count;
      rows[2 * static_cast<size_t>(p)] = src.Row(tap.first + t);
      rows[2 * static_cast<size_t>(p) + 1] = src.Row(tap.first + (pair ? t + 1 : t));
      weights[static_cast<size_t>(p)] = WeightPair(w[t], pair ? w[t + 1] : 0);
    }
  }
};

// The output columns' source columns, paired the same way; an odd last column is paired
// with the one after it at weight 0, so the column row has one spare column at its end.
struct ColumnPairs {
  struct Pixel {
    int32_t first = 0;  // first source column
    int32_t count = 0;  // pairs
    int32_t weights = 0;
  };
  std::vector<Pixel> pixels;
  std::vector<int32_t> weights;

  explicit ColumnPairs(const AxisFilter& f) {
    pixels.reserve(f.taps.size());
    for (const Tap& tap : f.taps) {
      const int32_t* w = f.weights.data() + tap.weights;
      Pixel px{tap.first, (tap.count + 1) / 2, static_cast<int32_t>(weights.size())};
      for (int32_t t = 0; t < tap.count; t += 2) weights.push_back(WeightPair(w[t], t + 1 < tap.count ? w[t + 1] : 0));
      pixels.push_back(px);
    }
  }
};

// Two source pixels (32 bits each, in the low halves of u and v) into the pairs of their
// channels, as 16-bit numbers: (u.b, v.b, u.g, v.g, u.r, v.r, u.x, v.x).
inline __m128i PairChannels(__m128i u, __m128i v) {
  return _mm_unpacklo_epi8(_mm_unpacklo_epi8(u, v), _mm_setzero_si128());
}

void AccumulateRowsSse2(const RowPairs& pairs, size_t n, int16_t* out) {
  const __m128i zero = _mm_setzero_si128();
  // Rounding and the bias in one: (sum + half − 2^15·2^6) >> 6 = ((sum + half) >> 6) − 2^15.
  const __m128i round = _mm_set1_epi32((1 << (kNarrowBits - 1)) - (kNarrowBias << kNarrowBits));
  const uint32_t* const* rows = pairs.rows.data();
  const int32_t* weights = pairs.weights.data();
  size_t x = 0;
  for (; x + 4 <= n; x += 4) {
    // One cache line of the following rows for every four columns.
    if (16 * x < pairs.aheadBytes) _mm_prefetch(pairs.ahead + 16 * x, _MM_HINT_T0);
    __m128i s0 = zero, s1 = zero, s2 = zero, s3 = zero;
    for (int32_t p = 0; p < pairs.count; ++p) {
      const __m128i w = _mm_set1_epi32(weights[p]);
      const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2 * p] + x));
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2 * p + 1] + x));
      const __m128i lo = _mm_unpacklo_epi8(u, v);
      const __m128i hi = _mm_unpackhi_epi8(u, v);
      s0 = _mm_add_epi32(s0, _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), w));
      s1 = _mm_add_epi32(s1, _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), w));
      s2 = _mm_add_epi32(s2, _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), w));
      s3 = _mm_add_epi32(s3, _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), w));
    }
    s0 = _mm_srai_epi32(_mm_add_epi32(s0, round), kNarrowBits);
    s1 = _mm_srai_epi32(_mm_add_epi32(s1, round), kNarrowBits);
    s2 = _mm_srai_epi32(_mm_add_epi32(s2, round), kNarrowBits);
    s3 = _mm_srai_epi32(_mm_add_epi32(s3, round), kNarrowBits);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x), _mm_packs_epi32(s0, s1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x + 8), _mm_packs_epi32(s2, s3));
  }
  for (; x < n; ++x) {
    __m128i s = zero;
    for (int32_t p = 0; p < pairs.count; ++p) {
      const __m128i u = _mm_cvtsi32_si128(static_cast<int32_t>(rows[2 * p][x]));
      const __m128i v = _mm_cvtsi32_si128(static_cast<int32_t>(rows[2 * p + 1][x]));
      s = _mm_add_epi32(s, _mm_madd_epi16(PairChannels(u, v), _mm_set1_epi32(weights[p])));
    }
    s = _mm_srai_epi32(_mm_add_epi32(s, round), kNarrowBits);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 4 * x), _mm_packs_epi32(s, s));
  }
}

// One output pixel's four channels as 32-bit numbers, already shifted down to 0..255.
inline __m128i ResamplePixelSse2(const int16_t* columns, const ColumnPairs::Pixel& px, const int32_t* weights) {
  // kOne · 2^15 restores the bias of the columns, and half rounds.
  __m128i s = _mm_set1_epi32((1 << (kFinalBits - 1)) + (kNarrowBias << kWeightBits));
  const int16_t* c = columns + 4 * static_cast<size_t>(px.first);
  for (int32_t p = 0; p < px.count; ++p, c += 8) {
    const __m128i pair = _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(c)),
                                            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(c + 4)));
    s = _mm_add_epi32(s, _mm_madd_epi16(pair, _mm_set1_epi32(weights[p])));
  }
  return _mm_srai_epi32(s, kFinalBits);
}

void ResampleRowSse2(const int16_t* columns, const ColumnPairs& f, uint32_t* out) {
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  const ColumnPairs::Pixel* px = f.pixels.data();
  const int32_t* w = f.weights.data();
  const size_t n = f.pixels.size();
  size_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i p0 = ResamplePixelSse2(columns, px[i], w + px[i].weights);
    const __m128i p1 = ResamplePixelSse2(columns, px[i + 1], w + px[i + 1].weights);
    const __m128i p2 = ResamplePixelSse2(columns, px[i + 2], w + px[i + 2].weights);
    const __m128i p3 = ResamplePixelSse2(columns, px[i + 3], w + px[i + 3].weights);
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(p0, p1), _mm_packs_epi32(p2, p3));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_and_si128(bytes, colour));
  }
  for (; i < n; ++i) {
    const __m128i p = ResamplePixelSse2(columns, px[i], w + px[i].weights);
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(p, p), _mm_setzero_si128());
    out[i] = static_cast<uint32_t>(_mm_cvtsi128_si32(bytes)) & 0x00FFFFFF;
  }
}
#endif

// Makes the output rows of a scale one at a time, each from the source rows its tap names,
// so a source that arrives row by row can be scaled as it comes.
class RowScaler {
 public:
  RowScaler(int32_t sourceWidth, int32_t sourceHeight, int32_t width, int32_t height, ScaleLoops loops)
      : columns_(MakeFilter(sourceWidth, width)), rows_(MakeFilter(sourceHeight, height)) {
#ifdef __SSE2__
    vector_ = loops == ScaleLoops::kBest;
    if (vector_) {
      pairedColumns_ = ColumnPairs(columns_);
      // One spare column for an odd last pair.
      accumulated_.resize(4 * (static_cast<size_t>(sourceWidth) + 1));
      return;
    }
#else
    (void)loops;
#endif
    acc_ = Accumulator(static_cast<size_t>(sourceWidth));
  }

  // The source rows output row y reads.
  const Tap& RowTap(int32_t y) const { return rows_.taps[static_cast<size_t>(y)]; }
  int32_t MostRowsPerOutput() const {
    int32_t most = 0;
    for (const Tap& tap : rows_.taps) most = std::max(most, tap.count);
    return most;
  }

  void MakeRow(const PixelView& src, int32_t y, uint32_t* out) {
    const Tap& tap = RowTap(y);
#ifdef __SSE2__
    if (vector_) {
      pairedRows_.Set(src, tap, rows_.weights.data() + tap.weights);
      AccumulateRowsSse2(pairedRows_, static_cast<size_t>(src.width), accumulated_.data());
      ResampleRowSse2(accumulated_.data(), pairedColumns_, out);
      return;
    }
#endif
    AccumulateRows(src, tap, rows_.weights.data() + tap.weights, acc_);
    ResampleRow(acc_, columns_, out);
  }

 private:
  AxisFilter columns_;
  AxisFilter rows_;
#ifdef __SSE2__
  bool vector_ = true;
  ColumnPairs pairedColumns_{AxisFilter{}};
  RowPairs pairedRows_;
  std::vector<int16_t> accumulated_;
#endif
  Accumulator acc_{0};
};

// Scales the whole view into a width × height rectangle of a buffer with the given stride.
void ScaleInto(const PixelView& src, uint32_t* dst, int64_t dstStride, int32_t width, int32_t height,
               ScaleLoops loops = ScaleLoops::kBest) {
  if (src.Empty() || width <= 0 || height <= 0) return;
  RowScaler scaler(src.width, src.height, width, height, loops);
  for (int32_t y = 0; y < height; ++y) scaler.MakeRow(src, y, dst + y * dstStride);
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
