// Writes the seed corpora into the folder given: one sub-folder per harness, each seed a
// well-formed case built by the same builders and writers the native tests and the programs
// use, so the fuzzer starts from every header form and every stored value there is.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "converters/patterns.h"
#include "engine/bmp_file.h"
#include "engine/picture_order.h"
#include "engine/registry.h"
#include "engine/settings_store.h"
#include "engine/wallpaper_history.h"
#include "fuzz/fuzz_input.h"
#include "tests/converters/dib_test_support.h"

namespace fs = std::filesystem;
using namespace vorel;
using vorel::fuzz::PutU16;
using vorel::fuzz::PutU32;

namespace {

void Write(const fs::path& dir, const std::string& name, const std::string& bytes) {
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary) << bytes;
}

// BITMAPFILEHEADER in front of a packed DIB.
std::string BmpFile(const std::string& info, const std::string& bits) {
  std::string s = "BM";
  PutU32(s, static_cast<uint32_t>(14 + info.size() + bits.size()));
  PutU32(s, 0);
  PutU32(s, static_cast<uint32_t>(14 + info.size()));
  return s + info + bits;
}

std::string DibInput(const std::string& info, const std::string& bits) {
  std::string s;
  PutU16(s, static_cast<uint32_t>(info.size()));
  return s + info + bits;
}

void DibSeeds(const fs::path& out) {
  for (const auto& c : testing::DibVariants()) {
    Write(out / "bmp_file", c.name, BmpFile(c.info, c.bits));
    Write(out / "dib", c.name, DibInput(c.info, c.bits));
  }
  for (const auto& c : testing::RleCases()) {
    Write(out / "bmp_file", c.name, BmpFile(testing::RleInfo(c), c.data));
    Write(out / "dib", c.name, DibInput(testing::RleInfo(c), c.data));
  }
  Write(out / "bmp_file", "Encoded24", EncodeBmp24(testing::PictureOf(7, 5, testing::TestColor)));
}

// Every value of a key, in the settings harness's layout.
std::string Serialise(MemoryRegistry& registry, const char* path, uint8_t keyBits) {
  std::string s;
  for (const auto& [name, v] : registry.KeyValues(path)) {
    std::string value;
    auto type = vorel::fuzz::StoredType::kText;
    switch (v.type) {
      case MemoryRegistry::Type::kDword:
        type = vorel::fuzz::StoredType::kDword;
        PutU32(value, static_cast<uint32_t>(v.number));
        break;
      case MemoryRegistry::Type::kText:
        value = v.text;
        break;
      case MemoryRegistry::Type::kMultiText:
        type = vorel::fuzz::StoredType::kMultiText;
        value = v.text;
        break;
      case MemoryRegistry::Type::kBinary:
        type = vorel::fuzz::StoredType::kBinary;
        value.assign(v.bytes.begin(), v.bytes.end());
        break;
    }
    std::string one = vorel::fuzz::StoredValue(type, name, value);
    one[0] = static_cast<char>(one[0] | keyBits);
    s += one;
  }
  return s;
}

void SettingsSeeds(const fs::path& out) {
  const LoadContext context{"C:\\Vorel\\", 1024, 768};
  for (int variant = 0; variant < 4; ++variant) {
    MemoryRegistry registry;
    Settings s = Settings::VorelsetDefaults();
    s.inOrder = variant % 2 == 1;
    for (int i = 0; i < 3 + variant * 7; ++i) {
      s.pictures.push_back({.path = "C:\\絵\\" + std::to_string(i) + ".bmp", .tile = i % 2 ? "する" : kStandard});
      s.folders.push_back({.path = "C:\\絵\\" + std::to_string(i), .subfolders = kSubfoldersAll});
    }
    s.fonts[kFontDay].name = "ＭＳ ゴシック";
    SaveSettings(s, registry);
    Random15 random(static_cast<uint64_t>(variant));
    std::vector<PictureEntry> candidates = s.pictures;
    for (int d = 0; d <= variant; ++d) NextPicture(candidates, s.inOrder, registry, std::ref(random));
    registry.SetText(kGvKeyPath, "Path", "C:\\GV\\gv.exe");
    registry.SetText(kSusieKeyPath, "Path", "C:\\Susie");
    std::string control;
    PutU16(control, static_cast<uint32_t>(candidates.size()) | (s.inOrder ? 0x8000 : 0) | (variant > 1 ? 0x4000 : 0));
    control += static_cast<char>(variant);
    Write(out / "settings", "saved" + std::to_string(variant),
          control + Serialise(registry, kSettingsKeyPath, 0) + Serialise(registry, kGvKeyPath, 0x40) +
              Serialise(registry, kSusieKeyPath, 0x80));
  }
  Write(out / "settings", "empty", std::string(3, '\0'));
}

void FieldSeeds(const fs::path& out) {
  int n = 0;
  for (const char* text : {"60", "  -5", "+999", "12abc", "", "99999999999999999999999", "１２"}) {
    std::string s;
    PutU32(s, 1);
    PutU32(s, 999);
    PutU32(s, n % 2 ? 10 : static_cast<uint32_t>(-1));
    Write(out / "numeric_field", "field" + std::to_string(n++), s + text);
  }
}

void PatternSeeds(const fs::path& out) {
  int n = 0;
  for (const std::string& text :
       {std::string(kInitialFilterText) + FilterPair("JPEG file", "*.jpg;*.jpeg"),
        std::string(kInitialFilterText) + FilterPair("PNG", "*.png") + FilterPair("PNG again", "*.PNG;*.gif"),
        std::string(kInitialFilterText) + FilterPair("画像", "*.画") + FilterPair("", ""),
        std::string(kInitialFilterText)}) {
    Write(out / "patterns", "filter" + std::to_string(n), std::string(1, static_cast<char>(n % 2)) + text);
    ++n;
  }
}

// The defaults and a few neighbours, in the calendar harness's small-number form.
void CalendarSeeds(const fs::path& out) {
  for (int variant = 0; variant < 6; ++variant) {
    const Settings d = Settings::VorelsetDefaults();
    std::string s(1, static_cast<char>(variant & 3));
    auto small = [&](int32_t v) {
      s += '\0';
      s += static_cast<char>(static_cast<int8_t>(v));
    };
    small(variant % 2);      // form
    small(1 + variant % 3);  // length
    small(variant);          // place
    small(1 + variant % 2);  // arrangement
    for (int32_t v : {d.calenSpace, d.calenDistX, d.calenDistY, d.calenYearStart, d.calenYW, d.calenWD, d.calenDayWidth,
                      d.calenDayHeight, d.calenShadow, d.calenYear, d.calenMonth, d.calenWeek}) {
      small(v);
    }
    small(variant);  // today's mark
    for (uint32_t c : {d.colorYear, d.colorNormal, d.colorSat, d.colorSun, d.colorFest, d.colorToday, d.colorShadow}) {
      PutU32(s, c);
    }
    for (const auto& font : d.fonts) {
      small(font.size);
      small(font.charset);
      s += static_cast<char>(3);
      s += static_cast<char>(font.name.size());
      s += font.name;
    }
    PutU16(s, 1024 + variant * 300);
    PutU16(s, 768);
    s += static_cast<char>(46 + variant);
    s += static_cast<char>(variant * 2);
    s += static_cast<char>(variant * 5);
    Write(out / "calendar", "layout" + std::to_string(variant), s);
  }
}

// JPEG files with an EXIF block in either byte order, and a TIFF file.
void ExifSeeds(const fs::path& out) {
  const auto tiff = [](bool little, uint16_t orientation) {
    std::string s = little ? "II" : "MM";
    const auto u16 = [&](uint16_t v) {
      s += static_cast<char>(little ? v & 0xFF : v >> 8);
      s += static_cast<char>(little ? v >> 8 : v & 0xFF);
    };
    const auto u32 = [&](uint32_t v) {
      u16(static_cast<uint16_t>(little ? v & 0xFFFF : v >> 16));
      u16(static_cast<uint16_t>(little ? v >> 16 : v & 0xFFFF));
    };
    u16(42);
    u32(8);
    u16(2);
    for (uint16_t tag : {uint16_t{0x010F}, uint16_t{0x0112}}) {
      u16(tag);
      u16(3);
      u32(1);
      u16(tag == 0x0112 ? orientation : 0);
      u16(0);
    }
    u32(0);
    return s;
  };
  for (uint16_t o = 1; o <= 8; ++o) {
    const std::string body = std::string("Exif\0\0", 6) + tiff(o % 2 == 1, o);
    std::string jpeg = "\xFF\xD8\xFF\xE1";
    jpeg += static_cast<char>((body.size() + 2) >> 8);  // segment lengths are big-endian
    jpeg += static_cast<char>((body.size() + 2) & 0xFF);
    jpeg += body + std::string("\xFF\xDA\x00\x02\xFF\xD9", 6);
    Write(out / "exif", "jpeg" + std::to_string(o), jpeg);
  }
  Write(out / "exif", "tiff", tiff(false, 6));
}

// Histories as the programs write them: one monitor, several, the position back in them.
void HistorySeeds(const fs::path& out) {
  WallpaperHistory history;
  for (int n = 0; n < 5; ++n) {
    HistoryEntry entry{{"C:\\絵\\" + std::to_string(n) + ".bmp", "タイル", "標準", "左上"}};
    if (n % 2) entry.push_back({"D:\\other " + std::to_string(n) + ".jpg", "標準", "する", "中央"});
    AppendToHistory(history, entry, {});
    history.position = static_cast<size_t>(n / 2);
    for (const uint8_t control : {0x00, 0xFF, 0xA6})
      Write(out / "history", "h" + std::to_string(n) + "_" + std::to_string(control),
            std::string(1, static_cast<char>(control)) + FormatHistory(history));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: fuzz_seeds OUTPUT_FOLDER\n";
    return 2;
  }
  const fs::path out = argv[1];
  DibSeeds(out);
  SettingsSeeds(out);
  FieldSeeds(out);
  PatternSeeds(out);
  CalendarSeeds(out);
  ExifSeeds(out);
  HistorySeeds(out);
  return 0;
}
