// GL drivers stay loaded in test processes, so that leak reports name their blocks (and the
// suppressions match them). Linked into every test executable; preloaded into what they start.
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
