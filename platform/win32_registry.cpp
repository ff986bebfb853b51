// HKEY_CURRENT_USER keys behind the engine's key interface. Values are checked for type
// and size before use: a hand-edited value must never be read past its end.
#include "platform/win32_registry.h"

#include <algorithm>

#include <windows.h>

#include "platform/strings.h"
#include "platform/unique_handle.h"

namespace vorel {
namespace {

class Win32Key final : public RegistryKey {
 public:
  explicit Win32Key(UniqueKey key) : key_(std::move(key)) {}

  std::optional<int32_t> ReadInt(std::string_view name) override {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    const std::wstring wname = ToWide(name);
    if (RegQueryValueExW(key_.Get(), wname.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS)
      return std::nullopt;
    if (type != REG_DWORD || size != sizeof value) return std::nullopt;
    return static_cast<int32_t>(value);
  }

  TextRead ReadText(std::string_view name) override {
    const std::wstring wname = ToWide(name);
    DWORD type = 0;
    // Most texts are short: one query into a local buffer; the sizing loop below only
    // for longer ones (the persistent order reads thousands of short values at a time).
    wchar_t local[128];
    DWORD size = sizeof local;
    LONG rc = RegQueryValueExW(key_.Get(), wname.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(local), &size);
    if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) return {TextStatus::kMissing, {}};
    if (type != REG_SZ && type != REG_EXPAND_SZ) return {TextStatus::kWrongType, {}};
    if (rc == ERROR_SUCCESS) {
      std::wstring_view text(local, std::min<DWORD>(size, sizeof local) / sizeof(wchar_t));
      if (auto zero = text.find(L'\0'); zero != std::wstring_view::npos) text = text.substr(0, zero);
      return {TextStatus::kOk, ToUtf8(text)};
    }
    for (int attempt = 0; attempt < 4; ++attempt) {
      std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
      DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
      rc = RegQueryValueExW(key_.Get(), wname.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
      if (rc == ERROR_MORE_DATA) {
        size = got;
        continue;
      }
      if (rc != ERROR_SUCCESS) return {TextStatus::kMissing, {}};
      if (type != REG_SZ && type != REG_EXPAND_SZ) return {TextStatus::kWrongType, {}};
      // The stored text need not be terminated; stop at the first zero or at its end.
      buffer.resize(got / sizeof(wchar_t));
      if (auto zero = buffer.find(L'\0'); zero != std::wstring::npos) buffer.resize(zero);
      return {TextStatus::kOk, ToUtf8(buffer)};
    }
    return {TextStatus::kMissing, {}};
  }

  std::optional<std::vector<uint8_t>> ReadBinary(std::string_view name) override {
    const std::wstring wname = ToWide(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key_.Get(), wname.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
      return std::nullopt;
    if (type != REG_BINARY) return std::nullopt;
    std::vector<uint8_t> bytes(size);
    DWORD got = size;
    if (RegQueryValueExW(key_.Get(), wname.c_str(), nullptr, &type, bytes.data(), &got) != ERROR_SUCCESS)
      return std::nullopt;
    if (type != REG_BINARY) return std::nullopt;
    bytes.resize(std::min<DWORD>(got, size));
    return bytes;
  }

  bool WriteInt(std::string_view name, int32_t value) override {
    const std::wstring wname = ToWide(name);
    DWORD v = static_cast<DWORD>(value);
    return RegSetValueExW(key_.Get(), wname.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v) ==
           ERROR_SUCCESS;
  }

  bool WriteText(std::string_view name, std::string_view text) override {
    const std::wstring wname = ToWide(name);
    const std::wstring wtext = ToWide(text);
    return RegSetValueExW(key_.Get(), wname.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wtext.c_str()),
                          static_cast<DWORD>((wtext.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }

  bool DeleteValue(std::string_view name) override {
    const LONG rc = RegDeleteValueW(key_.Get(), ToWide(name).c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
  }

 private:
  UniqueKey key_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::Open(std::string_view path, bool create) {
  while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  const std::wstring wpath = ToWide(path);
  UniqueKey key;
  LONG rc;
  if (create) {
    rc = RegCreateKeyExW(HKEY_CURRENT_USER, wpath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                         nullptr, key.Put(), nullptr);
  } else {
    rc = RegOpenKeyExW(HKEY_CURRENT_USER, wpath.c_str(), 0, KEY_READ, key.Put());
  }
  if (rc != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32Key>(std::move(key));
}

}  // namespace vorel
