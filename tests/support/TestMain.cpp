// Every test process works in a fresh folder of its own, so that the log and
// configuration files of parallel tests never meet.
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

// GL drivers a window loads are unloaded at exit before the leak checker looks,
// so their live blocks would read as leaks from nowhere: keep them mapped.
static int keepDriverMapped(struct dl_phdr_info* info, size_t, void*) {
  if (info->dlpi_name && strstr(info->dlpi_name, "/dri/"))
    dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  return 0;
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  char dir_template[] = "/tmp/zelvra-test-XXXXXX";
  const char* dir = mkdtemp(dir_template);
  if (!dir || chdir(dir) != 0)
    return 2;
  unsetenv("ZELVRA_CONFIG");
  unsetenv("ZELVRA_LOG");
  int result = RUN_ALL_TESTS();
  dl_iterate_phdr(keepDriverMapped, nullptr);
  if (result == 0 && system((std::string("rm -rf '") + dir + "'").c_str()) != 0)
    return 3;
  return result;
}
