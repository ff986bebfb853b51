// The persistent picture order. The stored pieces are untrusted: anything the algorithm
// could not have written is answered by dealing a new cycle, never by reading past a
// piece or returning an index outside the candidate list.
#include "engine/picture_order.h"

#include <algorithm>
#include <chrono>
#include <numeric>
#include <optional>
#include <stdexcept>

namespace vorel {
namespace {

// The order values of one draw: pieces read from the key or the cache, written through
// one reused name and text buffer (a deal or a removal over a long list writes
// thousands of them), and the cache kept in step with every write. A value whose text
// the key is known to hold already is not written again: under Wine each write is a
// round trip to the wineserver.
class OrderStore {
 public:
  OrderStore(RegistryKey& key, OrderPieceCache* cache) : key_(key), cache_(cache) {}

  // Piece k; fromKey for the drawn piece, which is compared with what the cache holds.
  bool Read(size_t k, bool fromKey, std::string& text) {
    if (!fromKey && Known(k)) {
      text = cache_->pieces[k];
      return true;
    }
    TextRead piece = key_.ReadText(OrderPieceName(k));
    if (piece.status != TextStatus::kOk) return false;
    if (Known(k) && cache_->pieces[k] != piece.text) cache_->Clear();
    Remember(k, piece.text);
    if (k >= read_.size()) read_.resize(k + 1);
    read_[k] = piece.text;
    text = std::move(piece.text);
    return true;
  }

  void Write(size_t k, const uint32_t* entries, size_t count) {
    text_.clear();
    for (size_t i = 0; i < count; ++i) AppendOrderEntry(text_, entries[i]);
    if (const std::string* held = Held(k); held && *held == text_) return;
    name_.assign(kFileListStem);
    name_ += std::to_string(k);
    if (!key_.WriteText(name_, text_)) failed_ = true;
    Remember(k, text_);
    if (k < read_.size()) read_[k].reset();
  }

  // held: the value the key was read with, when it was read.
  void WriteInt(const char* name, size_t value, std::optional<int64_t> held = std::nullopt) {
    if (held && *held == static_cast<int64_t>(value)) return;
    if (!key_.WriteInt(name, static_cast<int32_t>(value))) failed_ = true;
  }

  // "FileNumMax" first, then the indexes 0..count-1 in ascending order. The pieces from
  // `rewrittenFrom` up to `rewrittenTo` (excluded) are left to the removal that follows,
  // which writes them again at once.
  void Deal(size_t count, std::optional<int64_t> heldFileNumMax, size_t rewrittenFrom, size_t rewrittenTo) {
    if (cache_) cache_->Clear();
    read_.clear();
    WriteInt(kFileNumMaxValue, count, heldFileNumMax);
    uint32_t entries[kOrderPieceEntries];
    for (size_t k = 0; k * kOrderPieceEntries < count; ++k) {
      if (k >= rewrittenFrom && k < rewrittenTo) continue;
      const size_t begin = k * kOrderPieceEntries;
      const size_t n = std::min(kOrderPieceEntries, count - begin);
      for (size_t i = 0; i < n; ++i) entries[i] = static_cast<uint32_t>(begin + i);
      Write(k, entries, n);
    }
  }

  // The cache now describes the key, unless a write failed.
  void Settle(size_t order, size_t fileNumMax) {
    if (!cache_) return;
    if (failed_) {
      cache_->Clear();
      return;
    }
    cache_->order = static_cast<int64_t>(order);
    cache_->fileNumMax = static_cast<int64_t>(fileNumMax);
  }

 private:
  bool Known(size_t k) const { return cache_ && k < cache_->known.size() && cache_->known[k]; }

  // The text the key holds for piece k, when this draw or the cache knows it.
  const std::string* Held(size_t k) const {
    if (k < read_.size() && read_[k]) return &*read_[k];
    if (Known(k)) return &cache_->pieces[k];
    return nullptr;
  }

  void Remember(size_t k, const std::string& text) {
    if (!cache_) return;
    if (k >= cache_->pieces.size()) {
      cache_->pieces.resize(k + 1);
      cache_->known.resize(k + 1, false);
    }
    cache_->pieces[k] = text;
    cache_->known[k] = true;
  }

  RegistryKey& key_;
  OrderPieceCache* cache_;
  std::string name_;
  std::string text_;
  std::vector<std::optional<std::string>> read_;  // pieces read from the key in this draw
  bool failed_ = false;
};

// Reads sequence places from piece `first` up to d - 1 into seq. False when a piece in
// use is missing, of another type or malformed, when a piece before the last does not
// hold exactly ten entries, when the last holds fewer than the count needs (or more
// than ten), or when an index is not below c.
bool ReadSequence(OrderStore& store, size_t first, size_t d, size_t c, std::vector<uint32_t>& seq) {
  const size_t last = (d - 1) / kOrderPieceEntries;
  seq.clear();
  seq.reserve((last - first + 1) * kOrderPieceEntries + kOrderPieceEntries);
  std::string text;
  for (size_t k = first; k <= last; ++k) {
    if (!store.Read(k, k == first, text)) return false;
    const size_t before = seq.size();
    if (!DecodeOrderPiece(text, seq)) return false;
    const size_t got = seq.size() - before;
    if (k < last) {
      if (got != kOrderPieceEntries) return false;
    } else {
      // Entries past the count are left over from a longer cycle and do not count.
      const size_t need = d - last * kOrderPieceEntries;
      if (got < need || got > kOrderPieceEntries) return false;
      seq.resize(before + need);
    }
  }
  return std::all_of(seq.begin(), seq.end(), [c](uint32_t index) { return index < c; });
}

}  // namespace

Random15::Random15() {
  const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
  const auto mono = std::chrono::steady_clock::now().time_since_epoch().count();
  state_ = static_cast<uint64_t>(wall) ^ (static_cast<uint64_t>(mono) << 17);
}

int Random15::operator()() {
  // splitmix64; the top fifteen bits are the result.
  state_ += 0x9E3779B97F4A7C15ull;
  uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return static_cast<int>(z >> 49);
}

std::string OrderPieceName(size_t k) { return kFileListStem + std::to_string(k); }

void AppendOrderEntry(std::string& piece, uint32_t index) {
  char digits[10];
  size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + index % 10);
    index /= 10;
  } while (index != 0);
  piece.push_back(static_cast<char>('0' + n));
  while (n > 0) piece.push_back(digits[--n]);
}

bool DecodeOrderPiece(std::string_view piece, std::vector<uint32_t>& entries) {
  size_t pos = 0;
  while (pos < piece.size()) {
    const char lengthDigit = piece[pos];
    if (lengthDigit < '1' || lengthDigit > '9') return false;
    const size_t length = static_cast<size_t>(lengthDigit - '0');
    if (length > piece.size() - pos - 1) return false;
    const std::string_view digits = piece.substr(pos + 1, length);
    if (length > 1 && digits.front() == '0') return false;
    uint32_t value = 0;
    for (char ch : digits) {
      if (ch < '0' || ch > '9') return false;
      value = value * 10 + static_cast<uint32_t>(ch - '0');
    }
    entries.push_back(value);
    pos += 1 + length;
  }
  return true;
}

size_t DrawPlace(int r, size_t d) {
  r = std::clamp(r, 0, kRandomMax);
  const size_t place = static_cast<size_t>(static_cast<uint64_t>(r) * d / kRandomMax);
  return place >= d ? d - 1 : place;
}

size_t NextPictureIndex(size_t candidateCount, bool inOrder, Registry& registry, const RandomSource& random,
                        OrderPieceCache* cache) {
  const size_t c = candidateCount;
  if (c == 0) throw std::invalid_argument("NextPicture: the candidate list is empty");
  if (c > kMaxOrderCandidates) throw std::length_error("NextPicture: too many candidates for the stored order");

  std::unique_ptr<RegistryKey> opened = registry.Open(kSettingsKeyPath, true);
  NullRegistryKey unavailable;
  RegistryKey& key = opened ? *opened : unavailable;

  const std::optional<int32_t> storedOrder = key.ReadInt(kOrderValue);
  const int64_t order = std::max<int64_t>(0, storedOrder.value_or(0));
  if (inOrder) {
    if (cache) cache->Clear();
    const size_t index = static_cast<size_t>((order + 1) % static_cast<int64_t>(c));
    if (storedOrder != static_cast<int32_t>(index)) key.WriteInt(kOrderValue, static_cast<int32_t>(index));
    return index;
  }

  const std::optional<int32_t> storedFileNumMax = key.ReadInt(kFileNumMaxValue);
  const int64_t fileNumMax = storedFileNumMax.value_or(0);
  if (cache && (cache->order != order || cache->fileNumMax != fileNumMax)) cache->Clear();
  const int r = random();
  OrderStore store(key, cache);
  std::vector<uint32_t> seq;  // sequence places from piece `first` on
  size_t d = 0;
  size_t place = 0;
  size_t first = 0;

  bool deal = static_cast<int64_t>(c) != fileNumMax || order == 0 || order > fileNumMax;
  if (!deal) {
    d = static_cast<size_t>(order);
    place = DrawPlace(r, d);
    first = place / kOrderPieceEntries;
    deal = !ReadSequence(store, first, d, c, seq);
  }
  if (deal) {
    d = c;
    place = DrawPlace(r, d);
    first = place / kOrderPieceEntries;
    store.Deal(c, storedFileNumMax, first, (c - 1 + kOrderPieceEntries - 1) / kOrderPieceEntries);
    seq.resize(c - first * kOrderPieceEntries);
    std::iota(seq.begin(), seq.end(), static_cast<uint32_t>(first * kOrderPieceEntries));
  }

  const size_t offset = place - first * kOrderPieceEntries;
  const uint32_t chosen = seq[offset];
  seq.erase(seq.begin() + static_cast<std::ptrdiff_t>(offset));

  // Every piece from the chosen one on shifts by one place; a piece left empty lies past
  // the count and is not rewritten.
  const size_t left = d - 1;
  const size_t piecesInUse = (left + kOrderPieceEntries - 1) / kOrderPieceEntries;
  for (size_t k = first; k < piecesInUse; ++k) {
    const size_t begin = (k - first) * kOrderPieceEntries;
    store.Write(k, seq.data() + begin, std::min(kOrderPieceEntries, seq.size() - begin));
  }
  store.WriteInt(kOrderValue, left, storedOrder);
  store.Settle(left, c);
  return chosen;
}

const PictureEntry& NextPicture(const std::vector<PictureEntry>& candidates, bool inOrder, Registry& registry,
                                const RandomSource& random, OrderPieceCache* cache) {
  return candidates[NextPictureIndex(candidates.size(), inOrder, registry, random, cache)];
}

std::vector<PictureEntry> NextPictures(const std::vector<PictureEntry>& candidates, size_t count, bool inOrder,
                                       Registry& registry, const RandomSource& random, OrderPieceCache* cache) {
  std::vector<PictureEntry> chosen;
  chosen.reserve(count);
  while (chosen.size() < count) chosen.push_back(NextPicture(candidates, inOrder, registry, random, cache));
  return chosen;
}

}  // namespace vorel
