// In-memory registry used by the native tests.
#include "engine/registry.h"

#include <algorithm>
#include <cctype>

namespace vorel {
namespace {

class MemoryKey final : public RegistryKey {
 public:
  MemoryKey(MemoryRegistry& owner, MemoryRegistry::Values& values) : owner_(owner), values_(values) {}

  std::optional<int32_t> ReadInt(std::string_view name) override {
    auto it = values_.find(name);
    if (it == values_.end() || it->second.type != MemoryRegistry::Type::kDword) return std::nullopt;
    return it->second.number;
  }
  TextRead ReadText(std::string_view name) override {
    auto it = values_.find(name);
    if (it == values_.end()) return {TextStatus::kMissing, {}};
    if (it->second.type != MemoryRegistry::Type::kText) return {TextStatus::kWrongType, {}};
    return {TextStatus::kOk, it->second.text};
  }
  std::optional<std::vector<uint8_t>> ReadBinary(std::string_view name) override {
    auto it = values_.find(name);
    if (it == values_.end() || it->second.type != MemoryRegistry::Type::kBinary) return std::nullopt;
    return it->second.bytes;
  }
  bool WriteInt(std::string_view name, int32_t value) override {
    MemoryRegistry::Value v;
    v.type = MemoryRegistry::Type::kDword;
    v.number = value;
    values_.insert_or_assign(std::string(name), std::move(v));
    ++owner_.writes;
    return true;
  }
  bool WriteText(std::string_view name, std::string_view text) override {
    MemoryRegistry::Value v;
    v.type = MemoryRegistry::Type::kText;
    v.text = std::string(text);
    values_.insert_or_assign(std::string(name), std::move(v));
    ++owner_.writes;
    return true;
  }
  bool DeleteValue(std::string_view name) override {
    if (auto it = values_.find(name); it != values_.end()) {
      values_.erase(it);
      ++owner_.writes;
    }
    return true;
  }

 private:
  MemoryRegistry& owner_;
  MemoryRegistry::Values& values_;
};

}  // namespace

// Registry paths compare without regard to ASCII letter case and leading backslashes.
std::string MemoryRegistry::Normalize(std::string_view path) {
  while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  std::string out(path);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

std::unique_ptr<RegistryKey> MemoryRegistry::Open(std::string_view path, bool create) {
  std::string key = Normalize(path);
  auto it = keys_.find(key);
  if (it == keys_.end()) {
    if (!create) return nullptr;
    it = keys_.emplace(key, Values{}).first;
  }
  return std::make_unique<MemoryKey>(*this, it->second);
}

MemoryRegistry::Values& MemoryRegistry::KeyValues(std::string_view path) { return keys_[Normalize(path)]; }

bool MemoryRegistry::HasKey(std::string_view path) const { return keys_.count(Normalize(path)) != 0; }

void MemoryRegistry::SetInt(std::string_view path, std::string_view name, int32_t v) {
  Value value;
  value.type = Type::kDword;
  value.number = v;
  KeyValues(path).insert_or_assign(std::string(name), std::move(value));
}

void MemoryRegistry::SetText(std::string_view path, std::string_view name, std::string_view v) {
  Value value;
  value.type = Type::kText;
  value.text = std::string(v);
  KeyValues(path).insert_or_assign(std::string(name), std::move(value));
}

void MemoryRegistry::SetBinary(std::string_view path, std::string_view name, std::vector<uint8_t> v) {
  Value value;
  value.type = Type::kBinary;
  value.bytes = std::move(v);
  KeyValues(path).insert_or_assign(std::string(name), std::move(value));
}

void MemoryRegistry::SetMultiText(std::string_view path, std::string_view name, std::string_view v) {
  Value value;
  value.type = Type::kMultiText;
  value.text = std::string(v);
  KeyValues(path).insert_or_assign(std::string(name), std::move(value));
}

const MemoryRegistry::Value* MemoryRegistry::Get(std::string_view path, std::string_view name) const {
  auto k = keys_.find(Normalize(path));
  if (k == keys_.end()) return nullptr;
  auto v = k->second.find(name);
  return v == k->second.end() ? nullptr : &v->second;
}

}  // namespace vorel
