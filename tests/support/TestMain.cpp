// Every test process works in a fresh folder of its own, so that the log and
// configuration files of parallel tests never meet.
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace {
// The GL drivers that a window loads are unloaded again while the process
// exits, before the leak checker looks; their still-referenced blocks would
// then read as leaks from an unknown place. Keeping them mapped avoids that.
int findDriver(struct dl_phdr_info* info, size_t, void* p_found) {
  if (info->dlpi_name && strstr(info->dlpi_name, "/dri/"))
    static_cast<std::vector<std::string>*>(p_found)->push_back(info->dlpi_name);
  return 0;
}

void keepDriversMapped() {
  std::vector<std::string> drivers;
  dl_iterate_phdr(findDriver, &drivers);
  for (const std::string& path : drivers)
    dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}
} // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  char dir_template[] = "/tmp/zelvra-test-XXXXXX";
  const char* dir = mkdtemp(dir_template);
  if (!dir || chdir(dir) != 0)
    return 2;
  unsetenv("ZELVRA_CONFIG");
  unsetenv("ZELVRA_LOG");
  int result = RUN_ALL_TESTS();
  keepDriversMapped();
  if (result == 0) {
    std::string command = std::string("rm -rf '") + dir + "'";
    if (system(command.c_str()) != 0)
      return 3;
  }
  return result;
}
