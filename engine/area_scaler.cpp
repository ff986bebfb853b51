// The scaler. Separable: each output row first sums the source rows it covers (per channel,
// into a row of accumulators), then each output pixel sums the accumulated columns it covers.
// Only one row of accumulators lives beside the source and the destination. Weights are fixed
// point and sum to exactly kOne along each axis, so a flat colour stays exactly flat.
#include "engine/area_scaler.h"

#include <algorithm>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace vorel {

namespace {

constexpr int kWeightBits = 14;
constexpr int32_t kOne = 1 << kWeightBits;
// The accumulated rows are narrowed to 8.8 fixed point so that the second pass fits in
// 32 bits: 255·256 · kOne < 2^31.
constexpr int kNarrowBits = kWeightBits - 8;
constexpr int kFinalBits = kWeightBits + 8;

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

}  // namespace

struct RowScaler::Filters {
  Filters(int32_t sourceWidth, int32_t sourceHeight, int32_t width, int32_t height, ScaleLoops loops)
      : columns(MakeFilter(sourceWidth, width)), rows(MakeFilter(sourceHeight, height)) {
#ifdef __SSE2__
    vector = loops == ScaleLoops::kBest;
    if (vector) {
      pairedColumns = ColumnPairs(columns);
      // One spare column for an odd last pair.
      accumulated.resize(4 * (static_cast<size_t>(sourceWidth) + 1));
      return;
    }
#else
    (void)loops;
#endif
    acc = Accumulator(static_cast<size_t>(sourceWidth));
  }

  AxisFilter columns;
  AxisFilter rows;
#ifdef __SSE2__
  bool vector = true;
  ColumnPairs pairedColumns{AxisFilter{}};
  RowPairs pairedRows;
  std::vector<int16_t> accumulated;
#endif
  Accumulator acc{0};
};

RowScaler::RowScaler(int32_t sourceWidth, int32_t sourceHeight, int32_t width, int32_t height, ScaleLoops loops)
    : filters_(std::make_unique<Filters>(sourceWidth, sourceHeight, width, height, loops)) {}

RowScaler::~RowScaler() = default;
RowScaler::RowScaler(RowScaler&&) noexcept = default;
RowScaler& RowScaler::operator=(RowScaler&&) noexcept = default;

const Tap& RowScaler::RowTap(int32_t y) const { return filters_->rows.taps[static_cast<size_t>(y)]; }

int32_t RowScaler::MostRowsPerOutput() const {
  int32_t most = 0;
  for (const Tap& tap : filters_->rows.taps) most = std::max(most, tap.count);
  return most;
}

void RowScaler::MakeRow(const PixelView& src, int32_t y, uint32_t* out) {
  Filters& f = *filters_;
  const Tap& tap = RowTap(y);
#ifdef __SSE2__
  if (f.vector) {
    f.pairedRows.Set(src, tap, f.rows.weights.data() + tap.weights);
    AccumulateRowsSse2(f.pairedRows, static_cast<size_t>(src.width), f.accumulated.data());
    ResampleRowSse2(f.accumulated.data(), f.pairedColumns, out);
    return;
  }
#endif
  AccumulateRows(src, tap, f.rows.weights.data() + tap.weights, f.acc);
  ResampleRow(f.acc, f.columns, out);
}

void ScaleInto(const PixelView& src, uint32_t* dst, int64_t dstStride, int32_t width, int32_t height,
               ScaleLoops loops) {
  if (src.Empty() || width <= 0 || height <= 0) return;
  RowScaler scaler(src.width, src.height, width, height, loops);
  for (int32_t y = 0; y < height; ++y) scaler.MakeRow(src, y, dst + y * dstStride);
}

}  // namespace vorel
