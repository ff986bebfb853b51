// The DIB a plug-in hands back: a header block and a bits block whose sizes need not agree
// with what the header claims. Input: info size (2 bytes), info, then the bits.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "converters/dib.h"
#include "fuzz/fuzz_input.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

void CheckPicture(const std::optional<vorel::Picture>& p) {
  if (!p) return;
  Check(!p->Empty() && p->width <= vorel::kMaxPictureSide && p->height <= vorel::kMaxPictureSide);
  Check(p->pixels.size() == static_cast<size_t>(p->width) * static_cast<size_t>(p->height));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vorel::fuzz::Reader in(data, size);
  const size_t infoSize = in.U16();
  const auto infoText = in.Bytes(infoSize);
  const auto bitsText = in.Rest();
  // Two separate exact-size blocks, as two separate allocations of the plug-in would be.
  const std::vector<uint8_t> info(infoText.begin(), infoText.end());
  const std::vector<uint8_t> bits(bitsText.begin(), bitsText.end());
  CheckPicture(vorel::DecodeDib(info.data(), info.size(), bits.data(), bits.size()));
  // The same bytes as one packed block (header, table and bits together).
  std::vector<uint8_t> packed(info);
  packed.insert(packed.end(), bits.begin(), bits.end());
  CheckPicture(vorel::DecodePackedDib(packed.data(), packed.size()));
  return 0;
}
