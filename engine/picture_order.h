// The persistent picture order under the settings key: list order, or a random cycle
// without repeats that outlives the process and is shared by Vorelset and Vorelrun.
//
// Stored values: "Order" (list order: index shown last; random: indexes left in the
// cycle), "FileNumMax" (candidate count the cycle was dealt for) and "FileList" + k, the
// indexes left, ten to a piece, each written as its digit count followed by its digits.
// Both programs and older installs read these values, so their form never changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/registry.h"
#include "engine/settings.h"

namespace vorel {

inline constexpr int kRandomMax = 32767;
inline constexpr size_t kOrderPieceEntries = 10;
// Indexes are written with a one-digit length, so nine digits at most.
inline constexpr size_t kMaxOrderCandidates = 1000000000;

inline constexpr const char* kOrderValue = "Order";
inline constexpr const char* kFileNumMaxValue = "FileNumMax";
inline constexpr const char* kFileListStem = "FileList";

// Returns a pseudo-random number in 0..kRandomMax.
using RandomSource = std::function<int()>;

// The program's generator, seeded once from the current time. Not copyable, so that a
// copy cannot silently replay the same numbers: pass it as std::ref(generator).
class Random15 {
 public:
  Random15();
  explicit Random15(uint64_t seed) : state_(seed) {}
  Random15(const Random15&) = delete;
  Random15& operator=(const Random15&) = delete;
  int operator()();

 private:
  uint64_t state_;
};

// The pieces this process has last read or written, so that a draw over a long list
// reads only the piece it draws from instead of every piece after it. Only Vorelset and
// Vorelrun write the order and they never run at the same time (the mutex "Vorel"), so
// within one process the remembered pieces are what the key holds; "Order",
// "FileNumMax" and the drawn piece are still read and compared on every draw, and any
// difference (a hand edit) makes the cache forget everything. Hold one per program.
struct OrderPieceCache {
  int64_t order = -1;  // "Order" and "FileNumMax" as last written; -1: nothing known
  int64_t fileNumMax = -1;
  std::vector<std::string> pieces;
  std::vector<bool> known;

  void Clear() {
    order = fileNumMax = -1;
    pieces.clear();
    known.clear();
  }
};

// "FileList" + k.
std::string OrderPieceName(size_t k);

// Appends one entry (length digit, then the decimal digits) to a piece.
void AppendOrderEntry(std::string& piece, uint32_t index);

// Decodes a whole piece into entries (appended). False when any part of the text is not
// a canonical entry: a length digit of 0, digits running past the end, non-digits, a
// leading zero. The entries decoded before the fault are left in place.
bool DecodeOrderPiece(std::string_view piece, std::vector<uint32_t>& entries);

// The sequence place drawn from r in 0..kRandomMax with d indexes left:
// floor(r * d / 32767), the top value taken as d - 1.
size_t DrawPlace(int r, size_t d);

// Chooses the next candidate index and updates the stored order. candidateCount must be
// at least 1 (std::invalid_argument otherwise). A stored order that cannot have been
// written by the algorithm (corrupted, truncated, of the wrong type) is replaced by a
// freshly dealt cycle; the result is always below candidateCount.
size_t NextPictureIndex(size_t candidateCount, bool inOrder, Registry& registry, const RandomSource& random,
                        OrderPieceCache* cache = nullptr);

// The candidate at NextPictureIndex. candidates must not be empty.
const PictureEntry& NextPicture(const std::vector<PictureEntry>& candidates, bool inOrder, Registry& registry,
                                const RandomSource& random, OrderPieceCache* cache = nullptr);

// One NextPicture per monitor, the first for the primary: a random cycle runs on across the
// monitors and is dealt again when it runs out, as it would over as many changes.
std::vector<PictureEntry> NextPictures(const std::vector<PictureEntry>& candidates, size_t count, bool inOrder,
                                       Registry& registry, const RandomSource& random,
                                       OrderPieceCache* cache = nullptr);

}  // namespace vorel
