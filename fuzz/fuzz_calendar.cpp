// The calendar's stored values (formats, lengths, places, offsets, colours and fonts, each
// any 32-bit number after a hand edit) through the layout onto the recording canvas, on a
// date and a screen the input picks.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "calendar/calendar_draw.h"
#include "fuzz/fuzz_input.h"
#include "tests/calendar/recording_canvas.h"

namespace {

// Small numbers most of the time, so the layouts seen are the ones a user gets; any
// 32-bit number now and then.
int32_t Value(vorel::fuzz::Reader& in) {
  const uint8_t kind = in.Byte();
  if (kind < 0xC0) return static_cast<int8_t>(in.Byte());
  if (kind < 0xF0) return static_cast<int16_t>(in.U16());
  return in.I32();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vorel::fuzz::Reader in(data, size);
  vorel::Settings s = vorel::Settings::VorelsetDefaults();
  const uint8_t flags = in.Byte();
  s.calenStuff = flags & 1;
  s.calenShadowOn = flags & 2;
  s.calenForm = Value(in);
  s.calenLength = Value(in);
  s.calenPlace = Value(in);
  s.calenTraOrLon = Value(in);
  s.calenSpace = Value(in);
  s.calenDistX = Value(in);
  s.calenDistY = Value(in);
  s.calenYearStart = Value(in);
  s.calenYW = Value(in);
  s.calenWD = Value(in);
  s.calenDayWidth = Value(in);
  s.calenDayHeight = Value(in);
  s.calenShadow = Value(in);
  s.calenYear = Value(in);
  s.calenMonth = Value(in);
  s.calenWeek = Value(in);
  s.calenDay = Value(in);
  for (uint32_t* c :
       {&s.colorYear, &s.colorNormal, &s.colorSat, &s.colorSun, &s.colorFest, &s.colorToday, &s.colorShadow}) {
    *c = in.U32();
  }
  for (auto& font : s.fonts) {
    font.size = Value(in);
    font.charset = Value(in);
    const uint8_t style = in.Byte();
    font.bold = style & 1;
    font.italic = style & 2;
    font.underline = style & 4;
    font.strikeOut = style & 8;
    font.name = std::string(in.Bytes(in.Byte() % 40));
  }
  s.screenWidth = 1 + in.U16() % 8192;
  s.screenHeight = 1 + in.U16() % 8192;
  // Any DPI Windows may report, up to 500 %, scales every stored distance.
  const int32_t quarterSteps = in.Byte() % 4;
  s.screenDpi = 96 + quarterSteps * 24 + in.Byte() % 5 * 96;
  // Any date the system clock can give.
  const vorel::Date today{1980 + in.Byte() % 120, 1 + in.Byte() % 12, 1 + in.Byte() % 28};

  vorel::testing::RecordingCanvas canvas;
  if (flags & 4) canvas.charHeights[s.fonts[vorel::kFontDay].size] = Value(in);
  const vorel::CalendarLayout layout = vorel::CalendarLayoutFromSettings(s);
  vorel::DrawCalendar(canvas, layout, s.calenForm, [&] { return today; });
  return 0;
}
