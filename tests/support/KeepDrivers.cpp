// GL drivers are never unloaded in test processes: a window's driver is closed
// when the window goes, long before the leak checker looks at exit, and the
// blocks it still holds would then read as leaks from an unknown place instead
// of under the driver's own name (which the leak suppressions match). Linked
// into every test executable, and preloaded into the programs the end-to-end
// scripts start, so both keep the driver mapped from their first instruction.
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
