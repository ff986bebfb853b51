// The registry of the current user through the Win32 API.
#pragma once

#include "engine/registry.h"

namespace vorel {

class Win32Registry final : public Registry {
 public:
  std::unique_ptr<RegistryKey> Open(std::string_view path, bool create) override;
};

}  // namespace vorel
