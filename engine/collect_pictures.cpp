// Candidate pictures from the folder list. The pattern matching follows the file system's
// own rules, including the DOS wildcards that FindFirstFile substitutes for '?', '.'
// before a wildcard and a trailing "*.", so that one listing per folder gives exactly
// what a search per folder and pattern would.
#include "engine/collect_pictures.h"

#include <string_view>
#include <unordered_map>

namespace vorel {
namespace {

// The DOS wildcards, as the file system spells them.
constexpr char32_t kDosStar = U'<';
constexpr char32_t kDosQm = U'>';
constexpr char32_t kDosDot = U'"';

bool IsWildcard(char32_t c) { return c == U'*' || c == U'?' || c == kDosStar || c == kDosQm || c == kDosDot; }
bool IsTrailingWildcard(char32_t c) { return c == U'*' || c == kDosStar || c == kDosDot || c == kDosQm; }

// Simple upper-case mapping for the scripts file names are written in; the file system
// compares names through such a table.
char32_t UpperCase(char32_t c) {
  if (c < 0x80) return (c >= U'a' && c <= U'z') ? c - 32 : c;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {
    if (c == 0x131) return U'I';
    if (c == 0x17F) return U'S';
    const bool oddLower = (c <= 0x137 && c != 0x130) || (c >= 0x14A && c <= 0x177);
    const bool evenLower = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddLower && (c & 1)) return c - 1;
    if (evenLower && !(c & 1)) return c - 1;
    return c;
  }
  if (c >= 0x3B1 && c <= 0x3C9) return c == 0x3C2 ? 0x3A3 : c - 32;
  if (c >= 0x430 && c <= 0x44F) return c - 32;
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 32;  // full-width Latin
  return c;
}

// Whether mask[i..] matches name[j..], memoised: patterns with several stars would
// otherwise backtrack without bound on long names.
class MaskMatcher {
 public:
  MaskMatcher(std::u32string_view mask, std::u32string_view name)
      : mask_(mask), name_(name), memo_((mask.size() + 1) * (name.size() + 1), -1) {}

  bool Match(size_t i, size_t j) {
    if (i == mask_.size() || j == name_.size()) {
      if (j != name_.size()) return false;
      for (; i < mask_.size(); ++i)
        if (!IsTrailingWildcard(mask_[i])) return false;
      return true;
    }
    int8_t& slot = memo_[i * (name_.size() + 1) + j];
    if (slot < 0) slot = Compute(i, j) ? 1 : 0;
    return slot == 1;
  }

 private:
  bool Compute(size_t i, size_t j) {
    const size_t n = name_.size();
    switch (mask_[i]) {
      case U'*': {
        while (i < mask_.size() && mask_[i] == U'*') ++i;
        if (i == mask_.size()) return true;
        for (size_t k = j; k <= n; ++k)
          if (Match(i, k)) return true;
        return false;
      }
      case kDosStar: {
        // Any run of characters that does not pass the name's last dot.
        const size_t next = i + 1;
        size_t k = j;
        bool hadDot = false;
        while (k < n) {
          size_t dot = name_.find(U'.', k);
          if (dot == std::u32string_view::npos) dot = n;
          if (dot == n && hadDot) break;
          if (dot < n) {
            hadDot = true;
            ++dot;
          }
          if (next < mask_.size())
            for (size_t t = k; t < dot; ++t)
              if (Match(next, t)) return true;
          k = dot;
        }
        return Match(next, k);
      }
      case U'?':
        return Match(i + 1, j + 1);
      case kDosQm: {
        // One character, or none in front of a dot.
        if (name_[j] != U'.') return Match(i + 1, j + 1);
        size_t next = i + 1;
        while (next < mask_.size() && mask_[next] == kDosQm) ++next;
        return Match(next, next == mask_.size() ? j + 1 : j);
      }
      default: {
        const char32_t c = mask_[i] == kDosDot ? U'.' : mask_[i];
        return c == name_[j] && Match(i + 1, j + 1);
      }
    }
  }

  std::u32string_view mask_;
  std::u32string_view name_;
  std::vector<int8_t> memo_;
};

// One folder's listing with its names folded once for all patterns.
struct Listing {
  bool listed = false;
  bool folded = false;
  std::vector<DirectoryItem> items;
  std::vector<std::u32string> names;
  std::vector<std::u32string> shortNames;
};

class ListingCache {
 public:
  explicit ListingCache(const DirectoryLister& lister) : lister_(lister) {}

  Listing& For(const std::string& folder) {
    auto [it, added] = byPath_.try_emplace(folder);
    Listing& listing = it->second;
    if (added) {
      listing.listed = lister_(folder, listing.items);
      if (!listing.listed) listing.items.clear();
    }
    return listing;
  }

  static void Fold(Listing& listing) {
    if (listing.folded) return;
    listing.names.reserve(listing.items.size());
    listing.shortNames.reserve(listing.items.size());
    for (const DirectoryItem& item : listing.items) {
      listing.names.push_back(item.isDirectory ? std::u32string() : FoldName(item.name));
      listing.shortNames.push_back(item.isDirectory ? std::u32string() : FoldName(item.shortName));
    }
    listing.folded = true;
  }

 private:
  const DirectoryLister& lister_;
  std::unordered_map<std::string, Listing> byPath_;
};

}  // namespace

std::u32string FoldName(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    char32_t c = 0xFFFD;
    size_t length = 1;
    if (b < 0x80) {
      c = b;
    } else if (b >= 0xC2 && b <= 0xF4) {
      length = b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
      if (i + length <= s.size()) {
        char32_t v = b & (0x3F >> (length - 1));
        bool ok = true;
        for (size_t k = 1; k < length; ++k) {
          const unsigned char cont = static_cast<unsigned char>(s[i + k]);
          if ((cont & 0xC0) != 0x80) ok = false;
          v = (v << 6) | (cont & 0x3F);
        }
        if (ok)
          c = v;
        else
          length = 1;
      } else {
        length = 1;
      }
    }
    out.push_back(UpperCase(c));
    i += length;
  }
  return out;
}

NamePattern::NamePattern(std::string_view pattern) {
  std::u32string mask = FoldName(pattern);
  // A pattern naming another folder cannot give a file of this one.
  if (mask.empty() || mask.find_first_of(U"\\/:") != std::u32string::npos) return;

  // The substitutions FindFirstFile makes before handing the mask to the file system.
  const bool noExtension = mask.back() == U'.';
  size_t length = mask.size();
  while (length > 0 && (mask[length - 1] == U'.' || mask[length - 1] == U' ')) --length;
  mask.resize(length);
  if (mask.empty()) return;
  if (mask.find_first_of(U"*?<>") != std::u32string::npos) {
    for (size_t i = 0; i < length; ++i) {
      if (mask[i] == U'.' && i + 1 < length && (mask[i + 1] == U'*' || mask[i + 1] == U'?'))
        mask[i] = kDosDot;
      else if (mask[i] == U'?')
        mask[i] = kDosQm;
    }
    if (noExtension && mask.back() == U'*') mask.back() = kDosStar;
  }

  mask_ = std::move(mask);
  if (mask_.find_first_not_of(U'*') == std::u32string::npos) {
    kind_ = Kind::kEverything;
  } else if (mask_[0] == U'*' && mask_.size() > 1) {
    bool literalTail = true;
    for (size_t i = 1; i < mask_.size(); ++i) literalTail = literalTail && !IsWildcard(mask_[i]);
    kind_ = literalTail ? Kind::kSuffix : Kind::kGeneral;
  } else {
    kind_ = Kind::kGeneral;
  }
}

bool NamePattern::MatchesOne(std::u32string_view name) const {
  switch (kind_) {
    case Kind::kNothing:
      return false;
    case Kind::kEverything:
      return true;
    case Kind::kSuffix: {
      const std::u32string_view tail = std::u32string_view(mask_).substr(1);
      return name.size() >= tail.size() && name.substr(name.size() - tail.size()) == tail;
    }
    case Kind::kGeneral:
      break;
  }
  MaskMatcher matcher(mask_, name);
  return matcher.Match(0, 0);
}

bool NamePattern::MatchesFolded(std::u32string_view name, std::u32string_view shortName) const {
  if (name.empty()) return false;
  return MatchesOne(name) || (!shortName.empty() && MatchesOne(shortName));
}

bool NamePattern::Matches(const DirectoryItem& item) const {
  return MatchesFolded(FoldName(item.name), FoldName(item.shortName));
}

void CollectPictures(std::vector<FolderEntry>& expandedFolders, std::vector<PictureEntry>& candidates,
                     const std::vector<std::string>& patterns, const DirectoryLister& lister) {
  ListingCache cache(lister);

  // The walk also reaches the entries it appends.
  for (size_t i = 0; i < expandedFolders.size(); ++i) {
    if (expandedFolders[i].subfolders == kSubfoldersIgnore) continue;
    const FolderEntry parent = expandedFolders[i];
    const std::string childText = parent.subfolders == kSubfoldersOneLevel ? kSubfoldersIgnore : parent.subfolders;
    for (const DirectoryItem& item : cache.For(parent.path).items) {
      if (!item.isDirectory || item.name == "." || item.name == "..") continue;
      if (expandedFolders.size() >= kMaxExpandedFolders) break;
      expandedFolders.push_back(
          {parent.path + "\\" + item.name, childText, parent.displayTime, parent.tile, parent.size, parent.position});
    }
  }

  for (const std::string& text : patterns) {
    const NamePattern pattern(text);
    if (pattern.MatchesNothing()) continue;
    for (const FolderEntry& folder : expandedFolders) {
      Listing& listing = cache.For(folder.path);
      ListingCache::Fold(listing);
      for (size_t k = 0; k < listing.items.size(); ++k) {
        const DirectoryItem& item = listing.items[k];
        if (item.isDirectory || !pattern.MatchesFolded(listing.names[k], listing.shortNames[k])) continue;
        candidates.push_back(
            {folder.path + "\\" + item.name, folder.displayTime, folder.tile, folder.size, folder.position});
      }
    }
  }
}

}  // namespace vorel
