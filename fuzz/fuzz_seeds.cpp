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

// Calendar files as calendar programs export them: every rule form, exceptions, overrides,
// a described zone, folded lines; behind the harness's six bytes of span and zone.
void IcsSeeds(const fs::path& out) {
  const std::string zone =
      "BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\nBEGIN:DAYLIGHT\r\nTZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\n"
      "DTSTART:19700308T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\nEND:DAYLIGHT\r\nBEGIN:STANDARD\r\n"
      "TZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nDTSTART:19701101T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\n"
      "END:STANDARD\r\nEND:VTIMEZONE\r\n";
  const char* events[] = {
      "DTSTART;VALUE=DATE:20260105\r\nDTEND;VALUE=DATE:20260108",
      "DTSTART:20260105T200000Z\r\nDURATION:PT2H",
      ("DTSTART;TZID=America/New_York:20260320T100000\r\nRRULE:FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE,FR;UNTIL=20261231T"
       "000000Z\r\nEXDATE;TZID=America/New_York:20260323T100000"),
      "DTSTART;VALUE=DATE:20251208\r\nRRULE:FREQ=MONTHLY;BYDAY=2MO,-1FR;COUNT=20",
      "DTSTART;VALUE=DATE:20251231\r\nRRULE:FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1",
      "DTSTART;VALUE=DATE:19900214\r\nRRULE:FREQ=YEARLY;BYMONTH=2,3;BYMONTHDAY=1,-1\r\nRDATE;VALUE=DATE:20260401",
      "DTSTART:20260105T100000\r\nRRULE:FREQ=DAILY;COUNT=10\r\nBEGIN:VALARM\r\nTRIGGER:-PT15M\r\nEND:VALARM",
  };
  for (size_t i = 0; i < std::size(events); ++i) {
    std::string file = "\xEF\xBB\xBF" "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + zone;
    file += "BEGIN:VEVENT\r\nUID:u" + std::to_string(i % 3) + "\r\n" + events[i] + "\r\nEND:VEVENT\r\n";
    if (i % 3 == 2)
      file += "BEGIN:VEVENT\r\nUID:u2\r\nRECURRENCE-ID;VALUE=DATE:20260112\r\nSTATUS:CANCELLED\r\nEND:VEVENT\r\n";
    file += "END:VCALENDAR\r\n";
    // Folded at 75 octets as the exporters do.
    std::string folded;
    size_t column = 0;
    for (const char c : file) {
      if (c == '\r' || c == '\n') column = 0;
      else if (++column > 75) {
        folded += "\r\n ";
        column = 1;
      }
      folded += c;
    }
    const std::string head = {static_cast<char>(57 + i), static_cast<char>(i), static_cast<char>(36),
                              static_cast<char>(i % 12), static_cast<char>(i * 9)};
    Write(out / "icalendar", "ics" + std::to_string(i), head + folded);
  }
}

void OwnDaySeeds(const fs::path& out) {
  int n = 0;
  for (const char* record : {"2026/12/29,休日,年末年始休暇", "04/01,記念日,創立記念日, 本社", "02/29,記念日,", "08/13,休日"}) {
    std::string s;
    PutU16(s, 2026);
    s += static_cast<char>(n);
    s += static_cast<char>(n % 2);
    Write(out / "own_days", "record" + std::to_string(n++), s + record);
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
  IcsSeeds(out);
  OwnDaySeeds(out);
  return 0;
}
