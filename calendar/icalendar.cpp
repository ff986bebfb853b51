// Reading a calendar file: content lines unfolded, components tracked on a stack (only the
// properties of a VEVENT itself count, not those of its VALARMs), the time zones the file
// describes turned into lists of offset changes, and every event's occurrences marked on the
// days of the span.
#include "calendar/icalendar.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "calendar/recurrence.h"
#include "calendar/text_fields.h"

namespace vorel {
namespace {

struct ContentLine {
  std::string name;  // upper case
  std::vector<std::pair<std::string, std::string>> params;  // upper-case names, unquoted values
  std::string value;

  std::string_view Param(std::string_view wanted) const {
    for (const auto& [key, text] : params)
      if (key == wanted) return text;
    return {};
  }
};

// NAME *(";" PARAM "=" VALUE *("," VALUE)) ":" VALUE; quoted parameter values may hold ":"
// and ";". Only the first value of a parameter is kept.
std::optional<ContentLine> ParseContentLine(std::string_view line) {
  ContentLine out;
  size_t at = line.find_first_of(";:");
  if (at == std::string_view::npos || at == 0) return std::nullopt;
  out.name = AsciiUpper(line.substr(0, at));
  while (line[at] == ';') {
    const size_t equals = line.find('=', at + 1);
    if (equals == std::string_view::npos) return std::nullopt;
    std::string name = AsciiUpper(line.substr(at + 1, equals - at - 1));
    std::string value;
    size_t next = equals + 1;
    bool first = true;
    while (true) {
      std::string piece;
      if (next < line.size() && line[next] == '"') {
        const size_t close = line.find('"', next + 1);
        if (close == std::string_view::npos) return std::nullopt;
        piece = std::string(line.substr(next + 1, close - next - 1));
        next = close + 1;
      } else {
        const size_t end = line.find_first_of(",;:", next);
        if (end == std::string_view::npos) return std::nullopt;
        piece = std::string(line.substr(next, end - next));
        next = end;
      }
      if (first) value = std::move(piece);
      first = false;
      if (next >= line.size()) return std::nullopt;
      if (line[next] != ',') break;
      ++next;
    }
    out.params.emplace_back(std::move(name), std::move(value));
    at = next;
  }
  if (line[at] != ':') return std::nullopt;
  out.value = std::string(line.substr(at + 1));
  return out;
}

// Calls visit with each logical line: CRLF, LF or CR ends a line, and a line that begins
// with a space or a tab continues the one before it.
template <typename Visit>
void ForEachLine(std::string_view text, Visit&& visit) {
  std::string logical;
  bool have = false;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find_first_of("\r\n", at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view physical = text.substr(at, end - at);
    at = end;
    if (at < text.size() && text[at] == '\r') ++at;
    if (at < text.size() && text[at] == '\n') ++at;  // LF alone, or the LF of CRLF
    if (!physical.empty() && (physical.front() == ' ' || physical.front() == '\t') && have) {
      logical.append(physical.substr(1));
      continue;
    }
    if (have) visit(std::string_view(logical));
    logical.assign(physical);
    have = true;
  }
  if (have) visit(std::string_view(logical));
}

using Component = std::vector<ContentLine>;

struct RawZone {
  std::string id;
  std::vector<Component> observances;
};

struct Parsed {
  bool complete = false;
  std::vector<Component> events;
  std::vector<RawZone> zones;
};

// Deeper nesting is no calendar anyone exports.
constexpr size_t kMaxDepth = 16;

Parsed ParseComponents(std::string_view text) {
  Parsed parsed;
  std::vector<std::string> stack;
  Component event;       // the properties of the VEVENT being read
  Component observance;  // and of the time-zone observance
  bool calendarSeen = false;
  bool damaged = false;
  ForEachLine(text, [&](std::string_view raw) {
    if (damaged) return;
    const std::optional<ContentLine> line = ParseContentLine(raw);
    if (!line) return;
    if (line->name == "BEGIN") {
      const std::string name = AsciiUpper(line->value);
      if (stack.empty() && name != "VCALENDAR") return;  // only what stands in a calendar counts
      if (stack.size() >= kMaxDepth) {
        damaged = true;
        return;
      }
      if (stack.empty()) calendarSeen = true;
      stack.push_back(name);
      if (name == "VEVENT" && stack.size() == 2) event.clear();
      if (stack.size() == 3 && stack[1] == "VTIMEZONE") observance.clear();
      if (name == "VTIMEZONE" && stack.size() == 2) parsed.zones.emplace_back();
      return;
    }
    if (line->name == "END") {
      const std::string name = AsciiUpper(line->value);
      const auto open = std::find(stack.rbegin(), stack.rend(), name);
      if (open == stack.rend()) return;
      // A component left open inside the one that ends is dropped with it.
      const bool cleanEnd = open == stack.rbegin();
      const size_t depth = stack.size();
      stack.erase(open.base() - 1, stack.end());
      if (cleanEnd && name == "VEVENT" && depth == 2) parsed.events.push_back(std::move(event));
      if (cleanEnd && (name == "STANDARD" || name == "DAYLIGHT") && depth == 3 && stack.back() == "VTIMEZONE")
        parsed.zones.back().observances.push_back(std::move(observance));
      if (stack.empty() && name == "VCALENDAR") parsed.complete = true;
      return;
    }
    if (stack.size() == 2 && stack.back() == "VEVENT") event.push_back(*line);
    if (stack.size() == 2 && stack.back() == "VTIMEZONE" && line->name == "TZID") parsed.zones.back().id = line->value;
    if (stack.size() == 3 && stack[1] == "VTIMEZONE") observance.push_back(*line);
  });
  // A calendar cut short (still open at the end) is not read at all: half a file is no
  // schedule.
  parsed.complete = calendarSeen && stack.empty() && parsed.complete && !damaged;
  return parsed;
}

const ContentLine* Find(const Component& component, std::string_view name) {
  for (const ContentLine& line : component)
    if (line.name == name) return &line;
  return nullptr;
}

std::optional<IcsTime> TimeOf(const ContentLine& line) {
  return ParseIcsTime(line.value, AsciiUpper(line.Param("VALUE")) == "DATE", line.Param("TZID"));
}

// EXDATE and RDATE hold lists; a PERIOD counts by its start.
void TimesOf(const ContentLine& line, std::vector<IcsTime>& out) {
  const bool asDate = AsciiUpper(line.Param("VALUE")) == "DATE";
  size_t from = 0;
  while (from <= line.value.size()) {
    size_t comma = line.value.find(',', from);
    if (comma == std::string::npos) comma = line.value.size();
    std::string_view item = std::string_view(line.value).substr(from, comma - from);
    item = item.substr(0, item.find('/'));
    if (std::optional<IcsTime> t = ParseIcsTime(item, asDate, line.Param("TZID"))) out.push_back(std::move(*t));
    from = comma + 1;
  }
}

// "+0900", "-0500", "+053000".
std::optional<int32_t> ParseOffset(std::string_view text) {
  if ((text.size() != 5 && text.size() != 7) || (text[0] != '+' && text[0] != '-')) return std::nullopt;
  int32_t parts[3] = {0, 0, 0};
  for (size_t i = 1; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    parts[(i - 1) / 2] = parts[(i - 1) / 2] * 10 + (text[i] - '0');
  }
  if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
  const int32_t seconds = parts[0] * 3600 + parts[1] * 60 + parts[2];
  return text[0] == '-' ? -seconds : seconds;
}

// One zone of the file: its offset changes in order (onset as a wall-clock time before the
// change, the offset from then on) and the offset before the first.
struct Zone {
  std::vector<std::pair<int64_t, int32_t>> changes;
  int32_t before = 0;

  int32_t OffsetAt(int64_t wall) const {
    const auto after = std::upper_bound(changes.begin(), changes.end(), std::make_pair(wall, INT32_MAX));
    return after == changes.begin() ? before : std::prev(after)->second;
  }
};

std::map<std::string, Zone> BuildZones(const std::vector<RawZone>& raw, int64_t lastDay, ExpansionBudget& budget) {
  std::map<std::string, Zone> zones;
  for (const RawZone& rawZone : raw) {
    if (rawZone.id.empty()) continue;
    Zone zone;
    int64_t earliest = INT64_MAX;
    for (const Component& observance : rawZone.observances) {
      const ContentLine* startLine = Find(observance, "DTSTART");
      const ContentLine* fromLine = Find(observance, "TZOFFSETFROM");
      const ContentLine* toLine = Find(observance, "TZOFFSETTO");
      if (!startLine || !fromLine || !toLine) continue;
      const std::optional<IcsTime> start = ParseIcsTime(startLine->value, false, "");
      const std::optional<int32_t> from = ParseOffset(fromLine->value);
      const std::optional<int32_t> to = ParseOffset(toLine->value);
      if (!start || !from || !to) continue;
      if (start->Wall() < earliest) {
        earliest = start->Wall();
        zone.before = *from;
      }
      zone.changes.emplace_back(start->Wall(), *to);
      if (const ContentLine* ruleLine = Find(observance, "RRULE")) {
        if (const std::optional<RecurrenceRule> rule = ParseRecurrenceRule(ruleLine->value)) {
          const auto withinUntil = [&](const Date& day) {
            if (!rule->until) return true;
            const int64_t onset = start->At(day).Wall();
            return rule->until->kind == IcsTime::Kind::kUtc ? onset - *from <= rule->until->Wall()
                                                            : onset <= rule->until->Wall();
          };
          // Only the changes of the last years before the span matter.
          ExpandRule(*rule, start->date, lastDay - 800, lastDay, withinUntil,
                     [&](const Date& day) {
                       zone.changes.emplace_back(start->At(day).Wall(), *to);
                       return true;
                     },
                     budget);
        }
      }
      for (const ContentLine& line : observance) {
        if (line.name != "RDATE") continue;
        std::vector<IcsTime> dates;
        TimesOf(line, dates);
        for (const IcsTime& t : dates) zone.changes.emplace_back(t.Wall(), *to);
      }
    }
    if (zone.changes.empty()) continue;
    std::sort(zone.changes.begin(), zone.changes.end());
    zones.emplace(rawZone.id, std::move(zone));
  }
  return zones;
}

struct Event {
  std::string uid;
  IcsTime start;
  std::optional<IcsTime> end;
  std::optional<int64_t> duration;
  std::optional<RecurrenceRule> rule;
  std::vector<IcsTime> exceptions;  // EXDATE
  std::vector<IcsTime> extra;       // RDATE
  std::optional<IcsTime> recurrenceId;
  bool cancelled = false;
};

std::optional<Event> EventOf(const Component& component) {
  Event event;
  const ContentLine* start = Find(component, "DTSTART");
  const ContentLine* recurrence = Find(component, "RECURRENCE-ID");
  if (recurrence) event.recurrenceId = TimeOf(*recurrence);
  if (recurrence && !event.recurrenceId) return std::nullopt;
  // An override without a start of its own keeps the time it replaces.
  std::optional<IcsTime> startTime = start ? TimeOf(*start) : event.recurrenceId;
  if (!startTime) return std::nullopt;
  event.start = std::move(*startTime);
  for (const ContentLine& line : component) {
    if (line.name == "UID") event.uid = line.value;
    if (line.name == "DTEND") event.end = TimeOf(line);
    if (line.name == "DURATION") event.duration = ParseIcsDuration(line.value);
    if (line.name == "RRULE" && !event.rule && !event.recurrenceId) event.rule = ParseRecurrenceRule(line.value);
    if (line.name == "EXDATE") TimesOf(line, event.exceptions);
    if (line.name == "RDATE" && !event.recurrenceId) TimesOf(line, event.extra);
    if (line.name == "STATUS") event.cancelled = AsciiUpper(line.value) == "CANCELLED";
  }
  return event;
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }

class Marker {
 public:
  Marker(const DateSpan& span, const UtcToLocal& toLocal, const std::map<std::string, Zone>& zones,
         ExpansionBudget& budget)
      : first_(DayNumber(span.first)), last_(DayNumber(span.last)), toLocal_(toLocal), zones_(zones),
        budget_(budget) {}

  const std::set<int64_t>& Days() const { return days_; }

  // The occurrences of one event, those that overrides or exceptions name left out.
  void Mark(const Event& event, const std::vector<IcsTime>& overridden) {
    if (event.cancelled) return;
    const bool allDay = event.start.kind == IcsTime::Kind::kDate;
    int64_t length = 0;  // whole days for an all-day event, seconds otherwise
    if (allDay) {
      length = 1;
      if (event.end) length = DayNumber(event.end->date) - DayNumber(event.start.date);
      else if (event.duration) length = (*event.duration + 86399) / 86400;
      length = std::max<int64_t>(length, 1);
    } else if (event.end) {
      length = std::max<int64_t>(Absolute(*event.end) - Absolute(event.start), 0);
    } else if (event.duration) {
      length = *event.duration;
    }
    const int64_t lengthDays = allDay ? length : length / 86400 + 1;
    const auto occurrence = [&](const IcsTime& at) {
      const auto same = [&at, this](const IcsTime& other) { return SameTime(at, other); };
      if (std::any_of(event.exceptions.begin(), event.exceptions.end(), same)) return;
      if (std::any_of(overridden.begin(), overridden.end(), same)) return;
      MarkOccurrence(at, length);
    };
    if (event.rule) {
      const RecurrenceRule& rule = *event.rule;
      const auto withinUntil = [&](const Date& day) {
        if (!rule.until) return true;
        if (rule.until->kind == IcsTime::Kind::kDate || allDay) return DayNumber(day) <= DayNumber(rule.until->date);
        return Absolute(event.start.At(day)) <= Absolute(*rule.until);
      };
      // Two days either side cover any zone's offset.
      ExpandRule(rule, event.start.date, first_ - lengthDays - 2, last_ + 2, withinUntil,
                 [&](const Date& day) {
                   occurrence(event.start.At(day));
                   return true;
                 },
                 budget_);
    } else {
      occurrence(event.start);
    }
    for (const IcsTime& extra : event.extra)
      occurrence(extra.kind == IcsTime::Kind::kDate && !allDay ? event.start.At(extra.date) : extra);
  }

 private:
  std::optional<int32_t> ZoneOffset(const IcsTime& t) const {
    if (t.kind != IcsTime::Kind::kZoned) return std::nullopt;
    const auto zone = zones_.find(t.zone);
    if (zone == zones_.end()) return std::nullopt;
    return zone->second.OffsetAt(t.Wall());
  }
  // UTC for a time whose zone is known; the wall-clock time as written otherwise.
  int64_t Absolute(const IcsTime& t) const {
    const std::optional<int32_t> offset = ZoneOffset(t);
    return offset ? t.Wall() - *offset : t.Wall();
  }
  bool Placed(const IcsTime& t) const { return t.kind == IcsTime::Kind::kUtc || ZoneOffset(t).has_value(); }

  bool SameTime(const IcsTime& a, const IcsTime& b) const {
    if (a.kind == IcsTime::Kind::kDate || b.kind == IcsTime::Kind::kDate) return a.date == b.date;
    return Absolute(a) == Absolute(b);
  }

  void MarkOccurrence(const IcsTime& at, int64_t length) {
    int64_t firstDay = 0;
    int64_t lastDay = 0;
    if (at.kind == IcsTime::Kind::kDate) {
      firstDay = DayNumber(at.date);
      lastDay = firstDay + length - 1;
    } else {
      const bool placed = Placed(at);
      const int64_t start = Absolute(at);
      const int64_t localStart = placed ? toLocal_(start) : start;
      const int64_t localEnd = placed ? toLocal_(start + length) : start + length;
      firstDay = FloorDiv(localStart, 86400);
      // An event that ends at midnight does not take place on the day that begins.
      lastDay = length > 0 ? std::max(firstDay, FloorDiv(localEnd - 1, 86400)) : firstDay;
    }
    for (int64_t day = std::max(firstDay, first_); day <= std::min(lastDay, last_); ++day) {
      if (!budget_.Take()) return;
      days_.insert(day);
    }
  }

  int64_t first_;
  int64_t last_;
  const UtcToLocal& toLocal_;
  const std::map<std::string, Zone>& zones_;
  ExpansionBudget& budget_;
  std::set<int64_t> days_;
};

}  // namespace

IcsDays ReadIcsDays(std::string_view file, const DateSpan& span, const UtcToLocal& toLocal) {
  IcsDays result;
  if (file.size() > kMaxIcsBytes) {
    result.status = IcsStatus::kTooLarge;
    return result;
  }
  if (file.substr(0, 3) == "\xEF\xBB\xBF") file.remove_prefix(3);
  const Parsed parsed = ParseComponents(file);
  if (!parsed.complete) return result;
  result.status = IcsStatus::kRead;
  result.events = parsed.events.size();
  if (DayNumber(span.last) < DayNumber(span.first)) return result;

  ExpansionBudget budget;
  const std::map<std::string, Zone> zones = BuildZones(parsed.zones, DayNumber(span.last) + 2, budget);
  std::vector<Event> events;
  std::map<std::string, std::vector<IcsTime>> overridden;  // by UID, the times replaced
  for (const Component& component : parsed.events) {
    std::optional<Event> event = EventOf(component);
    if (!event) continue;
    if (event->recurrenceId) overridden[event->uid].push_back(*event->recurrenceId);
    events.push_back(std::move(*event));
  }
  Marker marker(span, toLocal, zones, budget);
  static const std::vector<IcsTime> kNone;
  for (const Event& event : events) {
    const auto replaced = overridden.find(event.uid);
    const bool master = !event.recurrenceId;
    marker.Mark(event, master && replaced != overridden.end() ? replaced->second : kNone);
  }
  for (const int64_t day : marker.Days()) result.days.push_back(DateOfDayNumber(day));
  return result;
}

}  // namespace vorel
