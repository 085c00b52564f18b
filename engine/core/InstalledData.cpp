#include <zelvra/core/InstalledData.h>

#include <cstdlib>

#include <zelvra/platform/DataDir.h>
#include <zelvra/platform/Platform.h>

namespace zv {

InstalledData& InstalledData::getInstance() {
  static InstalledData instance;
  return instance;
}

int InstalledData::use(const std::string& game_name) {
  if (game_name.empty() || game_name.find('/') != std::string::npos)
    return -1;
  std::string exe_dir = platform::executableDir();
  std::string data = exe_dir + "/../share/" + game_name;
  std::string default_config = data + "/zv-config.txt";
  if (exe_dir.empty() || !platform::isRegularFile(default_config.c_str()))
    return 1;
  data_dir = data;
  // Without a home of its own the log stays in the working directory.
  std::string state = platform::userDir("XDG_STATE_HOME", ".local/state", game_name);
  log_file = state.empty() ? game_name + ".log" : state + "/" + game_name + ".log";
  std::string own = platform::userDir("XDG_CONFIG_HOME", ".config", game_name);
  std::string player_config = own + "/zv-config.txt";
  config_file = !own.empty() && platform::copyFileIfMissing(default_config, player_config) ? player_config
                                                                                            : default_config;
  return 0;
}

bool InstalledData::isInstalled() const { return !data_dir.empty(); }

std::string InstalledData::dataFile(const std::string& name) const {
  if (data_dir.empty() || name.empty() || name[0] == '/')
    return name;
  return data_dir + "/" + name;
}

std::string InstalledData::logFile(const std::string& configured) const {
  const char* env = getenv("ZELVRA_LOG");
  if (env)
    return env;
  return log_file.empty() ? configured : log_file;
}

std::string InstalledData::configFile() const {
  const char* env = getenv("ZELVRA_CONFIG");
  if (env)
    return env;
  return config_file.empty() ? "zv-config.txt" : config_file;
}

} // namespace zv
