// COM for the system's picture codecs: the apartment of a program's user-interface thread,
// and one owner for every interface pointer.
#pragma once

#include <objbase.h>
#include <windows.h>

#include "platform/unique_handle.h"

namespace vorel {

template <typename Interface>
struct ComTraits {
  using Handle = Interface*;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { h->Release(); }
};
template <typename Interface>
class UniqueCom : public UniqueHandle<ComTraits<Interface>> {
 public:
  using UniqueHandle<ComTraits<Interface>>::UniqueHandle;
  Interface* operator->() const { return this->Get(); }
};

// The interface `iid` of an object, or nothing.
template <typename Interface>
UniqueCom<Interface> QueryCom(IUnknown* object, REFIID iid) {
  UniqueCom<Interface> out;
  if (object) object->QueryInterface(iid, reinterpret_cast<void**>(out.Put()));
  return out;
}

// A single-threaded apartment for the thread that makes it, left when it goes. Made once, at
// the start of a program's user-interface thread.
class ComApartment {
 public:
  ComApartment()
      : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_;
};

}  // namespace vorel
