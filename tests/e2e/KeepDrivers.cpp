// Preloaded into the game by the end-to-end test: GL drivers are never
// unloaded, so that blocks they still hold at exit are reported under their
// own names (and matched by the leak suppressions) instead of as leaks from
// an unknown place.
#include <cstring>
#include <dlfcn.h>
#include <link.h>

extern "C" int dlclose(void* handle) {
  using Close = int (*)(void*);
  static Close real_dlclose = reinterpret_cast<Close>(dlsym(RTLD_NEXT, "dlclose"));
  struct link_map* map = nullptr;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && strstr(map->l_name, "/dri/"))
    return 0;
  return real_dlclose ? real_dlclose(handle) : 0;
}
