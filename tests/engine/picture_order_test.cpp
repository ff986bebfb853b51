// The persistent order: its stored form, list order, random cycles and what happens when
// the stored values have been damaged.
#include "engine/picture_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>

namespace vorel {
namespace {

constexpr const char* kKey = "Software\\Brelkin\\Vorel";

RandomSource Fixed(int r) {
  return [r] { return r; };
}

// The stored form written out independently of the code under test.
std::string Entry(size_t index) {
  const std::string digits = std::to_string(index);
  return std::to_string(digits.size()) + digits;
}

std::string Piece(const std::vector<size_t>& seq, size_t k) {
  std::string out;
  for (size_t i = k * 10; i < std::min(seq.size(), k * 10 + 10); ++i) out += Entry(i < seq.size() ? seq[i] : 0);
  return out;
}

std::string StoredText(MemoryRegistry& reg, const std::string& name) {
  const MemoryRegistry::Value* v = reg.Get(kKey, name);
  if (!v) return "<missing>";
  if (v->type != MemoryRegistry::Type::kText) return "<not text>";
  return v->text;
}

int StoredInt(MemoryRegistry& reg, const std::string& name) {
  const MemoryRegistry::Value* v = reg.Get(kKey, name);
  return v && v->type == MemoryRegistry::Type::kDword ? v->number : -999;
}

void StoreSequence(MemoryRegistry& reg, const std::vector<size_t>& seq) {
  for (size_t k = 0; k * 10 < seq.size(); ++k) reg.SetText(kKey, "FileList" + std::to_string(k), Piece(seq, k));
}

std::vector<size_t> Ascending(size_t n) {
  std::vector<size_t> seq(n);
  std::iota(seq.begin(), seq.end(), size_t{0});
  return seq;
}

TEST(PictureOrder, EntriesAreLengthDigitThenDecimalText) {
  const std::vector<std::pair<uint32_t, std::string>> cases = {
      {0, "10"}, {7, "17"}, {12, "212"}, {345, "3345"}, {1000, "41000"}, {123456789, "9123456789"}};
  std::string all;
  std::vector<uint32_t> expected;
  for (const auto& [index, text] : cases) {
    std::string piece;
    AppendOrderEntry(piece, index);
    EXPECT_EQ(piece, text);
    all += text;
    expected.push_back(index);
  }
  std::vector<uint32_t> decoded;
  ASSERT_TRUE(DecodeOrderPiece(all, decoded));
  EXPECT_EQ(decoded, expected);
}

TEST(PictureOrder, MalformedPiecesAreRejected) {
  for (const char* text : {"0",
                           "10"
                           "0",
                           "1",
                           "3"
                           "12",
                           "1a",
                           "2"
                           "1x",
                           "x", "205", "-1", "17 ", "3"}) {
    std::vector<uint32_t> decoded;
    EXPECT_FALSE(DecodeOrderPiece(text, decoded)) << text;
  }
  std::vector<uint32_t> decoded;
  EXPECT_TRUE(DecodeOrderPiece("", decoded));
  EXPECT_TRUE(decoded.empty());
}

TEST(PictureOrder, DrawPlace) {
  struct Case {
    int r;
    size_t d;
    size_t place;
  };
  for (const Case& c : {Case{16384, 12, 6}, Case{32767, 5, 4}, Case{32766, 5, 4}, Case{0, 5, 0}, Case{32767, 1, 0},
                        Case{6554, 5, 1}, Case{-5, 3, 0}, Case{40000, 3, 2}, Case{32767, 100000, 99999}}) {
    EXPECT_EQ(DrawPlace(c.r, c.d), c.place) << c.r << " " << c.d;
  }
}

TEST(PictureOrder, TwelveCandidatesFromAnEmptyStore) {
  MemoryRegistry reg;
  EXPECT_EQ(NextPictureIndex(12, false, reg, Fixed(16384)), 6u);
  EXPECT_EQ(StoredText(reg, "FileList0"), "101112131415171819210");
  EXPECT_EQ(StoredText(reg, "FileList1"), "211");
  EXPECT_EQ(StoredText(reg, "FileList2"), "<missing>");
  EXPECT_EQ(StoredInt(reg, "Order"), 11);
  EXPECT_EQ(StoredInt(reg, "FileNumMax"), 12);
}

TEST(PictureOrder, DealWritesEveryPieceInAscendingOrder) {
  // Drawing the last place leaves every piece but the last as dealt.
  MemoryRegistry reg;
  EXPECT_EQ(NextPictureIndex(25, false, reg, Fixed(32767)), 24u);
  EXPECT_EQ(StoredText(reg, "FileList0"), "10111213141516171819");
  EXPECT_EQ(StoredText(reg, "FileList1"), "210211212213214215216217218219");
  EXPECT_EQ(StoredText(reg, "FileList2"), "220221222223");
  EXPECT_EQ(StoredInt(reg, "Order"), 24);
}

TEST(PictureOrder, ThreeCandidatesGiveThreeDifferentEntriesThenANewCycle) {
  MemoryRegistry reg;
  Random15 random(7);
  std::set<size_t> seen;
  for (int i = 0; i < 3; ++i) seen.insert(NextPictureIndex(3, false, reg, std::ref(random)));
  EXPECT_EQ(seen, (std::set<size_t>{0, 1, 2}));
  EXPECT_EQ(StoredInt(reg, "Order"), 0);

  EXPECT_EQ(NextPictureIndex(3, false, reg, Fixed(0)), 0u);
  EXPECT_EQ(StoredInt(reg, "Order"), 2);
  EXPECT_EQ(StoredText(reg, "FileList0"), "1112");
}

TEST(PictureOrder, AChangedCandidateCountDealsAtOnce) {
  MemoryRegistry reg;
  EXPECT_EQ(NextPictureIndex(3, false, reg, Fixed(0)), 0u);
  EXPECT_EQ(StoredInt(reg, "Order"), 2);
  // Index 0 was drawn from the old cycle; the new one holds it again.
  EXPECT_EQ(NextPictureIndex(4, false, reg, Fixed(0)), 0u);
  EXPECT_EQ(StoredInt(reg, "FileNumMax"), 4);
  EXPECT_EQ(StoredInt(reg, "Order"), 3);
  EXPECT_EQ(StoredText(reg, "FileList0"), "111213");
}

TEST(PictureOrder, ListOrder) {
  struct Case {
    std::optional<int> order;
    size_t count;
    size_t expected;
  };
  for (const Case& c : {Case{std::nullopt, 3, 1}, Case{1, 3, 2}, Case{2, 3, 0}, Case{7, 5, 3}, Case{0, 5, 1},
                        Case{-4, 3, 1}, Case{2147483647, 10, 8}}) {
    MemoryRegistry reg;
    if (c.order) reg.SetInt(kKey, "Order", *c.order);
    EXPECT_EQ(NextPictureIndex(c.count, true, reg, Fixed(0)), c.expected) << c.order.value_or(-999);
    EXPECT_EQ(StoredInt(reg, "Order"), static_cast<int>(c.expected));
  }
  // "Order" of another type counts as missing.
  MemoryRegistry reg;
  reg.SetText(kKey, "Order", "7");
  EXPECT_EQ(NextPictureIndex(5, true, reg, Fixed(0)), 1u);
}

// Whole cycles against a model of the stored sequence: every index once, and after each
// draw the pieces in use are exactly the remaining sequence.
TEST(PictureOrder, FullCyclesMatchTheModel) {
  for (bool cached : {false, true})
    for (size_t count : {size_t{1}, size_t{10}, size_t{11}, size_t{25}, size_t{123}, size_t{1012}}) {
      MemoryRegistry reg;
      OrderPieceCache cache;
      Random15 random(count);
      std::vector<size_t> model = Ascending(count);
      std::set<size_t> drawn;
      for (size_t draw = 0; draw < count; ++draw) {
        const int r = random();
        const size_t place =
            std::min(static_cast<size_t>(static_cast<uint64_t>(r) * model.size() / 32767), model.size() - 1);
        const size_t chosen = NextPictureIndex(count, false, reg, Fixed(r), cached ? &cache : nullptr);
        ASSERT_EQ(chosen, model[place]) << "count " << count << " draw " << draw << " cached " << cached;
        model.erase(model.begin() + static_cast<std::ptrdiff_t>(place));
        drawn.insert(chosen);
        ASSERT_EQ(StoredInt(reg, "Order"), static_cast<int>(model.size()));
        for (size_t k = 0; k * 10 < model.size(); ++k)
          ASSERT_EQ(StoredText(reg, "FileList" + std::to_string(k)), Piece(model, k))
              << "count " << count << " draw " << draw << " piece " << k;
      }
      EXPECT_EQ(drawn.size(), count);
      EXPECT_EQ(StoredInt(reg, "FileNumMax"), static_cast<int>(count));
    }
}

// What every draw leaves in the key, written the plain way: a deal writes "FileNumMax"
// and every piece, the removal rewrites every piece from the drawn one up to the last in
// use, then "Order". The program writes only what changes; the key must end up the same.
struct PlainStore {
  MemoryRegistry::Values values;
  void Draw(size_t count, int r, bool& dealt, std::vector<size_t>& model) {
    const MemoryRegistry::Value* order = Find("Order");
    const MemoryRegistry::Value* max = Find("FileNumMax");
    const int d0 = order && order->type == MemoryRegistry::Type::kDword ? order->number : 0;
    const int m = max && max->type == MemoryRegistry::Type::kDword ? max->number : 0;
    dealt = static_cast<int>(count) != m || d0 <= 0 || d0 > m;
    if (dealt) {
      model = Ascending(count);
      Int("FileNumMax", static_cast<int>(count));
      for (size_t k = 0; k * 10 < count; ++k) Text("FileList" + std::to_string(k), Piece(model, k));
    }
    const size_t place =
        std::min(static_cast<size_t>(static_cast<uint64_t>(r) * model.size() / 32767), model.size() - 1);
    model.erase(model.begin() + static_cast<std::ptrdiff_t>(place));
    for (size_t k = place / 10; k * 10 < model.size(); ++k) Text("FileList" + std::to_string(k), Piece(model, k));
    Int("Order", static_cast<int>(model.size()));
  }
  const MemoryRegistry::Value* Find(const std::string& name) const {
    auto it = values.find(name);
    return it == values.end() ? nullptr : &it->second;
  }
  void Int(const std::string& name, int v) {
    MemoryRegistry::Value value;
    value.type = MemoryRegistry::Type::kDword;
    value.number = v;
    values[name] = value;
  }
  void Text(const std::string& name, const std::string& v) {
    MemoryRegistry::Value value;
    value.type = MemoryRegistry::Type::kText;
    value.text = v;
    values[name] = value;
  }
};

bool SameValues(const MemoryRegistry::Values& a, const MemoryRegistry::Values& b) {
  if (a.size() != b.size()) return false;
  for (auto ia = a.begin(), ib = b.begin(); ia != a.end(); ++ia, ++ib)
    if (ia->first != ib->first || ia->second.type != ib->second.type || ia->second.number != ib->second.number ||
        ia->second.text != ib->second.text)
      return false;
  return true;
}

TEST(PictureOrder, DrawsWriteOnlyWhatChangesAndLeaveTheSameKey) {
  for (bool cached : {false, true})
    for (size_t count : {size_t{1}, size_t{9}, size_t{21}, size_t{25}, size_t{130}}) {
      MemoryRegistry reg;
      PlainStore plain;
      OrderPieceCache cache;
      Random15 random(count * 7 + cached);
      std::vector<size_t> model;
      // Two cycles and a little: the second deal finds "FileNumMax" already right.
      for (size_t draw = 0; draw < 2 * count + 3; ++draw) {
        const int r = draw % 5 == 0 ? 32767 : draw % 7 == 0 ? 0 : random();
        bool dealt = false;
        const size_t piecesBefore = model.size();
        plain.Draw(count, r, dealt, model);
        const int before = reg.writes;
        NextPictureIndex(count, false, reg, Fixed(r), cached ? &cache : nullptr);
        ASSERT_TRUE(SameValues(reg.KeyValues(kKey), plain.values)) << count << " draw " << draw;
        // Written: a deal writes each piece once, "FileNumMax" only into the empty store and
        // "Order" unless it stays 0; a draw within the cycle the pieces from the drawn one up
        // to the last in use, and "Order".
        const size_t left = model.size();
        const size_t place = std::min(static_cast<size_t>(static_cast<uint64_t>(r) * (left + 1) / 32767), left);
        const size_t inUse = (left + 9) / 10;
        const size_t expected =
            dealt ? (count + 9) / 10 + (draw == 0 ? 2 : left != 0) : inUse - std::min(inUse, place / 10) + 1;
        EXPECT_EQ(static_cast<size_t>(reg.writes - before), expected)
            << count << " draw " << draw << " dealt " << dealt << " before " << piecesBefore;
      }
    }
}

TEST(PictureOrder, ListOrderWritesNothingWhenTheIndexStays) {
  MemoryRegistry reg;
  reg.SetInt(kKey, "Order", 0);
  EXPECT_EQ(NextPictureIndex(1, true, reg, Fixed(0)), 0u);
  EXPECT_EQ(reg.writes, 0);
  EXPECT_EQ(NextPictureIndex(2, true, reg, Fixed(0)), 1u);
  EXPECT_EQ(reg.writes, 1);
  EXPECT_EQ(StoredInt(reg, "Order"), 1);
}

TEST(PictureOrder, TheCacheNoticesChangesMadeBehindIt) {
  MemoryRegistry reg;
  OrderPieceCache cache;
  EXPECT_EQ(NextPictureIndex(25, false, reg, Fixed(32767), &cache), 24u);
  // The drawn piece was edited: the cache is dropped and the key's pieces count.
  reg.SetText(kKey, "FileList0", "11101213141516171819");
  EXPECT_EQ(NextPictureIndex(25, false, reg, Fixed(0), &cache), 1u);
  EXPECT_EQ(StoredText(reg, "FileList0"), "101213141516171819210");
  EXPECT_EQ(StoredText(reg, "FileList1"), "211212213214215216217218219220");

  // "Order" and a later piece were edited: nothing remembered is used.
  reg.SetInt(kKey, "Order", 12);
  reg.SetText(kKey, "FileList1", "223222");
  EXPECT_EQ(NextPictureIndex(25, false, reg, Fixed(32767), &cache), 22u);
  EXPECT_EQ(StoredText(reg, "FileList1"), "223");
  EXPECT_EQ(StoredInt(reg, "Order"), 11);

  // List order in between: the next random draw reads the key again.
  NextPictureIndex(25, true, reg, Fixed(0), &cache);
  EXPECT_EQ(StoredInt(reg, "Order"), 12);
  reg.SetInt(kKey, "Order", 11);
  reg.SetText(kKey, "FileList1", "224");
  EXPECT_EQ(NextPictureIndex(25, false, reg, Fixed(32767), &cache), 24u);
}

TEST(PictureOrder, ACycleContinuesFromTheStoredState) {
  // Written by the other program: 5 of 12 left, in a shuffled order.
  MemoryRegistry reg;
  reg.SetInt(kKey, "FileNumMax", 12);
  reg.SetInt(kKey, "Order", 5);
  reg.SetText(kKey, "FileList0", "21119171110");
  EXPECT_EQ(NextPictureIndex(12, false, reg, Fixed(16384)), 7u);  // place 2
  EXPECT_EQ(StoredText(reg, "FileList0"), "211191110");
  EXPECT_EQ(StoredInt(reg, "Order"), 4);
}

TEST(PictureOrder, AnOrderLeftByListOrderUsesThePlacesItCounts) {
  MemoryRegistry reg;
  reg.SetInt(kKey, "FileNumMax", 25);
  reg.SetInt(kKey, "Order", 3);
  StoreSequence(reg, Ascending(25));
  EXPECT_EQ(NextPictureIndex(25, false, reg, Fixed(32767)), 2u);
  EXPECT_EQ(StoredInt(reg, "Order"), 2);
  EXPECT_EQ(NextPictureIndex(25, false, reg, Fixed(32767)), 1u);
  EXPECT_EQ(NextPictureIndex(25, false, reg, Fixed(32767)), 0u);
  EXPECT_EQ(StoredInt(reg, "Order"), 0);
}

// Damaged stored state: a new cycle is dealt and drawn from, so the result is the place
// itself (the fresh sequence is ascending) and the store holds a sound cycle again.
TEST(PictureOrder, DamagedStoreDealsANewCycle) {
  struct Case {
    const char* what;
    int r;  // the draw must reach the damaged piece
    std::function<void(MemoryRegistry&)> damage;
  };
  const size_t count = 25;
  const std::vector<Case> cases = {
      {"length digit 0", 0, [](MemoryRegistry& r) { r.SetText(kKey, "FileList1", "0210211212213214215216217218219"); }},
      {"length past the end", 0, [](MemoryRegistry& r) { r.SetText(kKey, "FileList2", "2202212222239"); }},
      {"truncated piece", 32767, [](MemoryRegistry& r) { r.SetText(kKey, "FileList2", "22022122222"); }},
      {"non-digit", 0, [](MemoryRegistry& r) { r.SetText(kKey, "FileList0", "1011121314151617181x"); }},
      {"short piece in the middle", 0, [](MemoryRegistry& r) { r.SetText(kKey, "FileList1", "210211212"); }},
      {"long piece in the middle", 0,
       [](MemoryRegistry& r) { r.SetText(kKey, "FileList1", "210211212213214215216217218219220"); }},
      {"last piece short of the count", 32767, [](MemoryRegistry& r) { r.SetText(kKey, "FileList2", "220221"); }},
      {"missing piece", 16384, [](MemoryRegistry& r) { r.KeyValues(kKey).erase("FileList2"); }},
      {"index beyond the list", 0, [](MemoryRegistry& r) { r.SetText(kKey, "FileList2", "2202212222233999"); }},
      {"huge index", 0, [](MemoryRegistry& r) { r.SetText(kKey, "FileList2", "2202212222239999999999"); }},
      {"piece of another type", 0, [](MemoryRegistry& r) { r.SetInt(kKey, "FileList1", 210); }},
      {"piece as binary", 0,
       [](MemoryRegistry& r) {
         r.SetBinary(kKey, "FileList0", {'1', '0'});
       }},
      {"piece as multi-text", 0, [](MemoryRegistry& r) { r.SetMultiText(kKey, "FileList0", "10111213141516171819"); }},
      {"order beyond the count", 0, [](MemoryRegistry& r) { r.SetInt(kKey, "Order", 26); }},
      {"leading zero", 0, [](MemoryRegistry& r) { r.SetText(kKey, "FileList0", "20011121314151617181"); }},
  };
  for (const Case& c : cases) {
    MemoryRegistry reg;
    reg.SetInt(kKey, "FileNumMax", static_cast<int>(count));
    reg.SetInt(kKey, "Order", static_cast<int>(count));
    StoreSequence(reg, Ascending(count));
    // A valid state that differs from a fresh deal, so that a missed deal shows.
    reg.SetText(kKey, "FileList0", "11101213141516171819");
    c.damage(reg);

    const size_t place = DrawPlace(c.r, count);
    EXPECT_EQ(NextPictureIndex(count, false, reg, Fixed(c.r)), place) << c.what;
    std::vector<size_t> model = Ascending(count);
    model.erase(model.begin() + static_cast<std::ptrdiff_t>(place));
    EXPECT_EQ(StoredInt(reg, "Order"), static_cast<int>(count - 1)) << c.what;
    EXPECT_EQ(StoredInt(reg, "FileNumMax"), static_cast<int>(count)) << c.what;
    for (size_t k = 0; k * 10 < model.size(); ++k)
      EXPECT_EQ(StoredText(reg, "FileList" + std::to_string(k)), Piece(model, k)) << c.what << " piece " << k;
  }
}

TEST(PictureOrder, ResultStaysInRangeForAnyRandomValueAndStore) {
  // Random values outside 0..32767 and a store of random junk never give a bad index.
  Random15 junk(99);
  for (int round = 0; round < 300; ++round) {
    MemoryRegistry reg;
    const size_t count = 1 + static_cast<size_t>(junk()) % 40;
    reg.SetInt(kKey, "FileNumMax", junk() % 3 == 0 ? junk() % 50 : static_cast<int>(count));
    reg.SetInt(kKey, "Order", junk() % 60 - 5);
    for (int k = 0; k < 5; ++k) {
      std::string text;
      const int length = junk() % 40;
      for (int i = 0; i < length; ++i) text.push_back(static_cast<char>('0' + junk() % 11));
      reg.SetText(kKey, "FileList" + std::to_string(k), text);
    }
    const int r = junk() % 3 == 0 ? junk() * 7 - 100000 : junk();
    const size_t index = NextPictureIndex(count, false, reg, Fixed(r));
    ASSERT_LT(index, count) << "round " << round;
    const int order = StoredInt(reg, "Order");
    ASSERT_GE(order, 0);
    ASSERT_LT(order, static_cast<int>(count));
  }
}

class UnopenableRegistry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> Open(std::string_view, bool) override { return nullptr; }
};

TEST(PictureOrder, AKeyThatCannotBeOpenedStillGivesAChoice) {
  UnopenableRegistry reg;
  EXPECT_EQ(NextPictureIndex(3, true, reg, Fixed(0)), 1u);
  EXPECT_EQ(NextPictureIndex(12, false, reg, Fixed(16384)), 6u);
}

TEST(PictureOrder, NextPictureReturnsTheCandidateAndRefusesAnEmptyList) {
  MemoryRegistry reg;
  std::vector<PictureEntry> candidates(3);
  candidates[1].path = "C:\\b.bmp";
  EXPECT_EQ(NextPicture(candidates, true, reg, Fixed(0)).path, "C:\\b.bmp");
  EXPECT_THROW(NextPictureIndex(0, false, reg, Fixed(0)), std::invalid_argument);
}

TEST(PictureOrder, Random15GivesFifteenBitsAndDependsOnTheSeed) {
  Random15 a(1), b(2);
  std::set<int> values;
  bool differ = false;
  for (int i = 0; i < 2000; ++i) {
    const int x = a();
    ASSERT_GE(x, 0);
    ASSERT_LE(x, kRandomMax);
    values.insert(x);
    differ = differ || x != b();
  }
  EXPECT_GT(values.size(), 1800u);
  EXPECT_TRUE(differ);
}

}  // namespace
}  // namespace vorel
