// The picture is read through the codec in bands of rows into one small buffer, so that the
// decoded frame is never copied whole on our side: the bands go straight into the fit.
#include "converters/system_codecs_win32.h"

#include <wincodec.h>
#include <windows.h>

#include <algorithm>
#include <new>
#include <utility>

#include "converters/band_feed.h"
#include "converters/exif_orientation.h"
#include "converters/patterns.h"
#include "platform/com_win32.h"
#include "platform/strings.h"
#include "platform/unique_handle.h"

namespace vorel {
namespace {

// IWICBitmapSourceTransform, which the cross-compiler's headers do not declare: the decoder's
// own scaling, which Windows' JPEG decoder does in the frequency domain at 1/2, 1/4 and 1/8.
struct SourceTransform : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height, WICPixelFormatGUID* format,
                                               WICBitmapTransformOptions transform, UINT stride, UINT bufferSize,
                                               BYTE* buffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
  virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL* supported) = 0;
};
constexpr IID kIidSourceTransform = {0x3b16811b, 0x6a43, 0x4ec9, {0xb7, 0x13, 0x3d, 0x5a, 0x0c, 0x13, 0xb9, 0x40}};

// A band of rows is about this large whatever the picture's width.
constexpr size_t kBandBytes = size_t{256} << 10;

UniqueCom<IWICImagingFactory> Factory() {
  UniqueCom<IWICImagingFactory> factory;
  CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                   reinterpret_cast<void**>(factory.Put()));
  return factory;
}

bool SameGuid(const GUID& a, const GUID& b) { return IsEqualGUID(a, b) != 0; }

// The layouts a decoder's own scaling may answer with that we read directly.
bool BandFormatOf(const WICPixelFormatGUID& format, BandFormat& out) {
  if (SameGuid(format, GUID_WICPixelFormat32bppPBGRA))
    out = BandFormat::kPremultipliedBgra;
  else if (SameGuid(format, GUID_WICPixelFormat32bppBGRA))
    out = BandFormat::kBgra;
  else if (SameGuid(format, GUID_WICPixelFormat32bppBGR))
    out = BandFormat::kBgr32;
  else if (SameGuid(format, GUID_WICPixelFormat24bppBGR))
    out = BandFormat::kBgr24;
  else if (SameGuid(format, GUID_WICPixelFormat8bppGray))
    out = BandFormat::kGray8;
  else
    return false;
  return true;
}

// The file read at any offset, for the orientation where the codec's metadata reader has none.
int OrientationInFile(const std::string& path) {
  const UniqueFile file(CreateFileW(ToWide(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return 0;
  const ReadAt read = [&file](uint64_t offset, void* buffer, size_t bytes) -> size_t {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    if (!SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN)) return 0;
    if (!ReadFile(file.Get(), buffer, static_cast<DWORD>(std::min<size_t>(bytes, 1u << 20)), &got, nullptr)) return 0;
    return got;
  };
  return ExifOrientation(read, static_cast<uint64_t>(size.QuadPart));
}

// JPEG and TIFF carry the camera's orientation; other containers are shown as stored.
int OrientationOf(IWICBitmapFrameDecode* frame, const GUID& container, const std::string& path) {
  const bool jpeg = SameGuid(container, GUID_ContainerFormatJpeg);
  const bool tiff = SameGuid(container, GUID_ContainerFormatTiff);
  if (!jpeg && !tiff) return 1;
  UniqueCom<IWICMetadataQueryReader> query;
  if (SUCCEEDED(frame->GetMetadataQueryReader(query.Put()))) {
    PROPVARIANT value;
    PropVariantInit(&value);
    int orientation = 0;
    if (SUCCEEDED(query->GetMetadataByName(jpeg ? L"/app1/ifd/{ushort=274}" : L"/ifd/{ushort=274}", &value)) &&
        value.vt == VT_UI2)
      orientation = value.uiVal;
    PropVariantClear(&value);
    if (orientation >= 1 && orientation <= 8) return orientation;
  }
  const int fromFile = OrientationInFile(path);
  return fromFile != 0 ? fromFile : 1;
}

}  // namespace

std::vector<std::string> SystemCodecPatterns() {
  std::vector<std::string> patterns;
  const UniqueCom<IWICImagingFactory> factory = Factory();
  UniqueCom<IEnumUnknown> decoders;
  if (!factory || FAILED(factory->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault, decoders.Put())))
    return patterns;
  while (true) {
    UniqueCom<IUnknown> component;
    ULONG fetched = 0;
    if (decoders->Next(1, component.Put(), &fetched) != S_OK || fetched != 1) break;
    const auto info = QueryCom<IWICBitmapDecoderInfo>(component.Get(), IID_IWICBitmapDecoderInfo);
    UINT length = 0;
    if (!info || FAILED(info->GetFileExtensions(0, nullptr, &length)) || length == 0) continue;
    std::wstring extensions(length, L'\0');
    if (FAILED(info->GetFileExtensions(length, extensions.data(), &length))) continue;
    extensions.resize(wcsnlen(extensions.c_str(), extensions.size()));
    // ".jpg;.jpeg" on some systems, ".bmp,.dib" on others.
    for (size_t start = 0; start <= extensions.size();) {
      size_t end = extensions.find_first_of(L",; ", start);
      if (end == std::wstring::npos) end = extensions.size();
      std::string one = AsciiUpper(ToUtf8(extensions.substr(start, end - start)));
      start = end + 1;
      if (one.size() < 2 || one.front() != '.') continue;
      one.insert(one.begin(), '*');
      if (std::find(patterns.begin(), patterns.end(), one) == patterns.end()) patterns.push_back(std::move(one));
    }
  }
  return patterns;
}

bool DecodeWithSystemCodecs(const std::string& path, RowTarget& target, uint32_t background) {
  const UniqueCom<IWICImagingFactory> factory = Factory();
  if (!factory) return false;
  IWICImagingFactory* const wic = factory.Get();
  UniqueCom<IWICBitmapDecoder> decoder;
  UniqueCom<IWICBitmapFrameDecode> frame;
  if (FAILED(wic->CreateDecoderFromFilename(ToWide(path).c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                            decoder.Put())) ||
      FAILED(decoder->GetFrame(0, frame.Put())))
    return false;
  UINT width = 0, height = 0;
  // A size beyond what a picture may have is a broken or hostile file: refused before a pixel
  // is asked for, which is when a codec allocates.
  if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0 ||
      width > static_cast<UINT>(kMaxPictureSide) || height > static_cast<UINT>(kMaxPictureSide) ||
      uint64_t{width} * height > static_cast<uint64_t>(kMaxPicturePixels))
    return false;
  GUID container{};
  decoder->GetContainerFormat(&container);
  const OrientationMap orientation = MapOfOrientation(OrientationOf(frame.Get(), container, path));

  // The decoder's own reduction, where it has one and the picture is to be shown at half its
  // size or less: the largest size it gives that is still at least the shown size, so the
  // area-averaging shrink that follows keeps its quality.
  UINT storedWidth = width, storedHeight = height;
  BandFormat format = BandFormat::kPremultipliedBgra;
  WICPixelFormatGUID reducedFormat = GUID_WICPixelFormat32bppBGRA;
  const auto transform = QueryCom<SourceTransform>(frame.Get(), kIidSourceTransform);
  bool reduced = false;
  if (transform) {
    auto [needWidth, needHeight] = orientation.transposed
                                       ? target.NeededSize(static_cast<int32_t>(height), static_cast<int32_t>(width))
                                       : target.NeededSize(static_cast<int32_t>(width), static_cast<int32_t>(height));
    if (orientation.transposed) std::swap(needWidth, needHeight);
    UINT w = static_cast<UINT>(std::max(needWidth, 1)), h = static_cast<UINT>(std::max(needHeight, 1));
    const UINT wanted[2] = {w, h};
    if (2 * w <= width && 2 * h <= height && SUCCEEDED(transform->GetClosestSize(&w, &h)) && w >= wanted[0] &&
        h >= wanted[1] && w < width && h < height && SUCCEEDED(transform->GetClosestPixelFormat(&reducedFormat)) &&
        BandFormatOf(reducedFormat, format)) {
      reduced = true;
      storedWidth = w;
      storedHeight = h;
    }
  }
  UniqueCom<IWICFormatConverter> converter;
  if (!reduced) {
    format = BandFormat::kPremultipliedBgra;
    if (FAILED(wic->CreateFormatConverter(converter.Put())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
      return false;
  }

  BandFeed feed(static_cast<int32_t>(storedWidth), static_cast<int32_t>(storedHeight), orientation, format, background);
  if (!feed.Begin(target)) return false;
  const size_t stride = (static_cast<size_t>(feed.Columns()) * BytesPerPixel(format) + 3) & ~size_t{3};
  const auto rowsPerBand =
      static_cast<int32_t>(std::clamp<size_t>(kBandBytes / std::max<size_t>(stride, 1), 1, storedHeight));
  std::vector<BYTE> band;
  try {
    band.resize(std::max<size_t>(stride * static_cast<size_t>(rowsPerBand), 4));
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (int32_t y = 0; y < static_cast<int32_t>(storedHeight); y += rowsPerBand) {
    const int32_t rows = std::min(rowsPerBand, static_cast<int32_t>(storedHeight) - y);
    if (feed.Columns() > 0) {
      const WICRect rect{feed.FirstColumn(), y, feed.Columns(), rows};
      const UINT bytes = static_cast<UINT>(stride * static_cast<size_t>(rows));
      const HRESULT copied =
          reduced ? transform->CopyPixels(&rect, storedWidth, storedHeight, &reducedFormat, WICBitmapTransformRotate0,
                                          static_cast<UINT>(stride), bytes, band.data())
                  : converter->CopyPixels(&rect, static_cast<UINT>(stride), bytes, band.data());
      if (FAILED(copied)) return false;  // a file that breaks off half-way
    }
    feed.Band(y, rows, band.data(), stride);
  }
  return feed.Finish();
}

}  // namespace vorel
