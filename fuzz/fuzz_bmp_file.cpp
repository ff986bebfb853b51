// A .bmp file from disk: the whole input is the file. A decoded picture must be whole, the
// file read in order (in pieces of a size taken from the input) must give the same answer,
// the file fitted as it is read must give the whole picture's fit (with a layout and screen
// taken from the input), and writing the picture back and reading that again must give the
// same picture.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "converters/dib.h"
#include "engine/bmp_file.h"
#include "engine/fit_picture.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

void CheckPicture(const vorel::Picture& p) {
  Check(!p.Empty() && p.width <= vorel::kMaxPictureSide && p.height <= vorel::kMaxPictureSide);
  Check(p.pixels.size() == static_cast<size_t>(p.width) * static_cast<size_t>(p.height));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so that a read one byte past the file is caught.
  const std::vector<uint8_t> file(data, data + size);
  const auto picture = vorel::DecodeBmpFile(file.data(), file.size());
  size_t at = 0;
  const size_t piece = 1 + (size > 0 ? data[size - 1] % 64 : 0);
  const vorel::ByteReader read = [&](void* buffer, size_t bytes) {
    const size_t n = std::min({bytes, piece, file.size() - at});
    std::copy_n(file.data() + at, n, static_cast<uint8_t*>(buffer));
    at += n;
    return n;
  };
  const auto streamed = vorel::DecodeBmpStream(read, file.size(), 1 + piece * 7);
  Check(streamed.has_value() == picture.has_value());
  if (!picture) return 0;
  Check(*streamed == *picture);
  CheckPicture(*picture);

  // The layout and a small screen from the first bytes after the signature, so that every
  // kind of fit is met; the desktop colour alternates as the fills ask for it.
  const uint8_t knobs = size > 2 ? data[2] : 0;
  const uint8_t sizes = size > 3 ? data[3] : 0;
  const vorel::FitRequest request{{(knobs & 1) != 0, (knobs >> 1) % 9, (knobs & 0x20) != 0, (knobs & 0x40) != 0},
                                  (knobs & 0x80) ? 2 : 0,
                                  (knobs & 0x80) ? 1 : 0,
                                  1 + sizes % 16 * 3,
                                  1 + sizes / 16 * 3};
  const auto colours = [] {
    auto calls = std::make_shared<int>(0);
    return vorel::DesktopColourSource([calls] { return (*calls)++ % 2 ? 0x123456u : 0x654321u; });
  };
  vorel::Picture fitted = *picture;
  vorel::FitPicture(fitted, request, colours());
  at = 0;
  vorel::StreamedFit streamedFit(request, colours());
  Check(vorel::StreamBmpFile(read, file.size(), streamedFit, 1 + piece * 5));
  const auto streamedFitted = streamedFit.Finish();
  Check(streamedFitted.has_value() && *streamedFitted == fitted);
  // The encoder writes the top byte of each pixel as nothing; compare colours only.
  vorel::Picture expected = *picture;
  for (uint32_t& px : expected.pixels) px &= 0xFFFFFF;
  if (expected.pixels.size() > (1u << 20)) return 0;  // keep the round trip cheap
  const std::string again = vorel::EncodeBmp24(expected);
  const auto back = vorel::DecodeBmpFile(again.data(), again.size());
  Check(back.has_value() && *back == expected);
  return 0;
}
