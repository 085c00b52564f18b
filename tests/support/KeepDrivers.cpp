// GL drivers are never unloaded in test processes: unloaded when a window
// closes, the blocks they still hold at exit would read as leaks from nowhere
// instead of under the driver's name, which the leak suppressions match.
// Linked into every test executable; preloaded into the programs they start.
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
