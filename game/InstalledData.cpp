#include "InstalledData.h"

#include <cstdlib>
#include <string>

#include "platform/DataDir.h"
#include "platform/Platform.h"

namespace {

// Names given relative to where the player started the program keep meaning that after the move.
void keepAbsolute(const char* variable) {
  const char* value = getenv(variable);
  if (value && *value)
    setenv(variable, zv::platform::absolutePath(value).c_str(), 1);
}

} // namespace

void useInstalledData() {
  namespace platform = zv::platform;
  std::string exe_dir = platform::executableDir();
  if (exe_dir.empty())
    return;
  std::string data_dir = exe_dir + "/../share/zelvra";
  std::string default_config = data_dir + "/zv-config.txt";
  if (!platform::isRegularFile(default_config.c_str()))
    return;
  keepAbsolute("ZELVRA_LOG");
  keepAbsolute("ZELVRA_CONFIG");
  if (!getenv("ZELVRA_LOG")) {
    // Without a home of its own the log stays where the player started the program.
    std::string dir = platform::userDir("XDG_STATE_HOME", ".local/state", "zelvra");
    std::string log = dir.empty() ? platform::absolutePath("zelvra.log") : dir + "/zelvra.log";
    setenv("ZELVRA_LOG", log.c_str(), 1);
  }
  if (!getenv("ZELVRA_CONFIG")) {
    std::string dir = platform::userDir("XDG_CONFIG_HOME", ".config", "zelvra");
    std::string player_config = dir + "/zv-config.txt";
    bool own = !dir.empty() && platform::copyFileIfMissing(default_config, player_config);
    setenv("ZELVRA_CONFIG", (own ? player_config : default_config).c_str(), 1);
  }
  platform::changeDirectory(data_dir);
}
