#include "engine/PgLibrary.h"

#include <dlfcn.h>

#include <cassert>

namespace engine::detail {

namespace {

constexpr const char* kSoname = "libpq.so.5";

struct Loaded {
  PgLibrary library;
  bool ok = false;
  std::string error;
};

Loaded Load() {
  Loaded loaded;
  void* handle = dlopen(kSoname, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    loaded.error = dlerror();
    return loaded;
  }
#define RELCLIENTES_PQ_RESOLVE(name)                                               \
  loaded.library.name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name)); \
  if (!loaded.library.name) {                                                      \
    loaded.error = std::string(kSoname) + " has no function " #name;               \
    return loaded;                                                                 \
  }
  RELCLIENTES_PQ_FUNCTIONS(RELCLIENTES_PQ_RESOLVE)
#undef RELCLIENTES_PQ_RESOLVE
  loaded.ok = true;
  return loaded;
}

const Loaded& TheLibrary() {
  static const Loaded loaded = Load();
  return loaded;
}

}  // namespace

const PgLibrary* LoadPgLibrary(std::string& error) {
  const Loaded& loaded = TheLibrary();
  if (!loaded.ok) error = loaded.error;
  return loaded.ok ? &loaded.library : nullptr;
}

const PgLibrary& Pq() {
  assert(TheLibrary().ok);
  return TheLibrary().library;
}

}  // namespace engine::detail
