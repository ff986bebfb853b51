// Whether a picture drawn at twice the size is the same picture as the one drawn at the design
// size: every 2 × 2 block of the larger one, averaged, against the pixel it stands for.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/gdi_canvas_win32.h"
#include "platform/unique_handle.h"

namespace vorel::drawn {

// Top-down 0x00RRGGBB pixels of a bitmap, read back through a memory DC; empty when they
// cannot be read.
inline std::vector<std::uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info = PictureDibInfo(width, height);
  std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
  const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (GetDIBits(dc.Get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) != height)
    return {};
  for (auto& p : pixels) p &= 0x00FFFFFF;
  return pixels;
}

// The same of a bitmap resource of this program; empty when it does not load.
inline std::vector<std::uint32_t> ResourcePixels(int id, int width, int height) {
  const UniqueBitmap bitmap(static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  return bitmap ? BitmapPixels(bitmap.Get(), width, height) : std::vector<std::uint32_t>{};
}

// The mean difference per colour channel (0 to 255) between the design-size picture and the
// twice-as-large one averaged down; -1 when either does not load.
inline double TwiceDrawnDifference(int id, int twiceId, int width, int height) {
  const std::vector<std::uint32_t> single = ResourcePixels(id, width, height);
  const std::vector<std::uint32_t> twice = ResourcePixels(twiceId, 2 * width, 2 * height);
  if (single.empty() || twice.empty()) return -1;
  double sum = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (const int shift : {0, 8, 16}) {
        int block = 0;
        for (const int dy : {0, 1})
          for (const int dx : {0, 1})
            block += (twice[static_cast<size_t>(2 * y + dy) * 2 * width + 2 * x + dx] >> shift) & 0xFF;
        const int pixel = (single[static_cast<size_t>(y) * width + x] >> shift) & 0xFF;
        sum += std::abs(block / 4 - pixel);
      }
    }
  }
  return sum / (3.0 * width * height);
}

}  // namespace vorel::drawn
