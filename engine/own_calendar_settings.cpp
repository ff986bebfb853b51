// The own calendar's values under the settings key.
#include "engine/own_calendar_settings.h"

#include "engine/registry.h"
#include "engine/settings.h"
#include "engine/settings_store.h"

namespace vorel {

void LoadOwnCalendar(RegistryKey& key, Settings& settings) {
  OwnCalendarSettings& own = settings.ownCalendar;
  own.myDays = ReadTextList(key, "MyDayNum", "MyDay");
  TextRead file = key.ReadText("IcsFile");
  if (file.status == TextStatus::kOk) own.icsFile = std::move(file.text);
  TextRead kind = key.ReadText("IcsKind");
  if (kind.status == TextStatus::kOk && !kind.text.empty()) own.icsKind = std::move(kind.text);
  if (const std::optional<int32_t> colour = key.ReadInt("CalenColorMyDay"))
    own.colorMyDay = static_cast<uint32_t>(*colour);
  if (const std::optional<int32_t> plate = key.ReadInt("CalenPlate")) own.plate = *plate != 0;
}

void SaveOwnCalendar(RegistryKey& key, const Settings& settings) {
  const OwnCalendarSettings& own = settings.ownCalendar;
  key.WriteInt("MyDayNum", static_cast<int32_t>(own.myDays.size()));
  for (size_t n = 0; n < own.myDays.size(); ++n) key.WriteText("MyDay" + std::to_string(n), own.myDays[n]);
  key.WriteText("IcsFile", own.icsFile);
  key.WriteText("IcsKind", own.icsKind);
  key.WriteInt("CalenColorMyDay", static_cast<int32_t>(own.colorMyDay));
  key.WriteInt("CalenPlate", own.plate ? 1 : 0);
}

}  // namespace vorel
