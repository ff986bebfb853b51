// Shared by the harnesses and the seed writer: how a fuzz input is cut into the pieces a
// reader is handed, so that the seeds and the harnesses agree on one layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorel::fuzz {

// Reads from the front of the input; past the end everything reads as zero or empty, so a
// short input is still a complete case.
class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t Left() const { return size_ - pos_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint16_t U16() {
    const uint16_t lo = Byte();
    return static_cast<uint16_t>(lo | Byte() << 8);
  }
  uint32_t U32() {
    const uint32_t lo = U16();
    return lo | static_cast<uint32_t>(U16()) << 16;
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  std::string_view Bytes(size_t n) {
    n = n < Left() ? n : Left();
    std::string_view s(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return s;
  }
  std::string_view Rest() { return Bytes(Left()); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

inline void PutU16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
inline void PutU32(std::string& s, uint32_t v) {
  PutU16(s, v & 0xFFFF);
  PutU16(s, v >> 16);
}

// Settings harness: one stored value is type (1 byte), name length (1), name, value
// length (2, little-endian), value. Texts are UTF-8; a DWORD is its 4 bytes (fewer read
// as zero-padded). Types beyond the list wrap around.
enum class StoredType : uint8_t { kDword = 0, kText = 1, kBinary = 2, kMultiText = 3 };

inline std::string StoredValue(StoredType type, std::string_view name, std::string_view value) {
  std::string s;
  s += static_cast<char>(type);
  s += static_cast<char>(name.size());
  s += name.substr(0, 255);
  PutU16(s, static_cast<uint32_t>(value.size()));
  s += value.substr(0, 65535);
  return s;
}

}  // namespace vorel::fuzz
