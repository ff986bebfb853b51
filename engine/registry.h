// The registry as the engine sees it: keys under HKEY_CURRENT_USER holding DWORD, text
// and binary values. The Win32 adapter lives in platform/; MemoryRegistry serves the
// native tests and reproduces the reading rules of the real one (type checks included).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorel {

// Outcome of reading a text value: missing values read as empty, values of another
// registry type cannot be read at all.
enum class TextStatus { kOk, kMissing, kWrongType };

struct TextRead {
  TextStatus status = TextStatus::kMissing;
  std::string text;
};

class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // A REG_DWORD; nullopt when missing or of another type.
  virtual std::optional<int32_t> ReadInt(std::string_view name) = 0;
  // A REG_SZ (or REG_EXPAND_SZ) as UTF-8.
  virtual TextRead ReadText(std::string_view name) = 0;
  // A REG_BINARY; nullopt when missing or of another type.
  virtual std::optional<std::vector<uint8_t>> ReadBinary(std::string_view name) = 0;
  virtual bool WriteInt(std::string_view name, int32_t value) = 0;
  virtual bool WriteText(std::string_view name, std::string_view text) = 0;
  // Removes the value; true when it is gone afterwards (a missing value included).
  virtual bool DeleteValue(std::string_view name) = 0;
};

// Stands in for a key that cannot be opened: reads fail, writes have no effect.
class NullRegistryKey final : public RegistryKey {
 public:
  std::optional<int32_t> ReadInt(std::string_view) override { return std::nullopt; }
  TextRead ReadText(std::string_view) override { return {}; }
  std::optional<std::vector<uint8_t>> ReadBinary(std::string_view) override { return std::nullopt; }
  bool WriteInt(std::string_view, int32_t) override { return false; }
  bool WriteText(std::string_view, std::string_view) override { return false; }
  bool DeleteValue(std::string_view) override { return false; }
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens a key of the current user; with create, a missing key is created. A leading
  // backslash is allowed. nullptr when the key cannot be opened.
  virtual std::unique_ptr<RegistryKey> Open(std::string_view path, bool create) = 0;
};

// In-memory registry: values keep their type, so wrong-type cases can be staged.
class MemoryRegistry final : public Registry {
 public:
  enum class Type { kDword, kText, kBinary, kMultiText };
  struct Value {
    Type type = Type::kText;
    int32_t number = 0;
    std::string text;
    std::vector<uint8_t> bytes;
  };
  using Values = std::map<std::string, Value, std::less<>>;

  std::unique_ptr<RegistryKey> Open(std::string_view path, bool create) override;

  // Test access to the stored values.
  Values& KeyValues(std::string_view path);
  bool HasKey(std::string_view path) const;
  void SetInt(std::string_view path, std::string_view name, int32_t v);
  void SetText(std::string_view path, std::string_view name, std::string_view v);
  void SetBinary(std::string_view path, std::string_view name, std::vector<uint8_t> v);
  void SetMultiText(std::string_view path, std::string_view name, std::string_view v);
  const Value* Get(std::string_view path, std::string_view name) const;

  // Number of value writes made through opened keys, for tests that count writes.
  int writes = 0;

 private:
  static std::string Normalize(std::string_view path);
  std::map<std::string, Values, std::less<>> keys_;
};

}  // namespace vorel
