// Where a game's files are. A game installed as PREFIX/bin/NAME keeps its
// data (sprites, sounds, font, default configuration) in PREFIX/share/NAME;
// it writes its log to $XDG_STATE_HOME/NAME/NAME.log (~/.local/state/NAME)
// and reads its player's own copy of the configuration,
// $XDG_CONFIG_HOME/NAME/zv-config.txt (~/.config/NAME), made from the default
// on the first run. So it runs from any working directory and never writes
// where it is installed. A game run from its build folder keeps all of them
// in the working directory. ZELVRA_LOG and ZELVRA_CONFIG, when set, name the
// log and the configuration in either case.
#ifndef ZV_INSTALLED_DATA_H
#define ZV_INSTALLED_DATA_H

#include <string>

namespace zv {

class InstalledData {
 public:
  static InstalledData& getInstance();

  // Looks for NAME's data beside the running program: call it before
  // GameManager::startUp(), so that the log and the configuration are found.
  // Returns 0 when the game runs installed, 1 when it does not (the working
  // directory serves), -1 when `game_name` is empty or holds a '/'.
  int use(const std::string& game_name);
  bool isInstalled() const;

  // A data file's name as the engine opens it: a relative name inside the
  // data folder once installed, any other name as it is.
  std::string dataFile(const std::string& name) const;
  // The log file: ZELVRA_LOG, else the player's log once installed, else `configured`.
  std::string logFile(const std::string& configured) const;
  // The configuration file: ZELVRA_CONFIG, else the player's copy once
  // installed (the default when no copy can be made), else "zv-config.txt".
  std::string configFile() const;

 private:
  InstalledData() = default;
  InstalledData(const InstalledData&) = delete;
  void operator=(const InstalledData&) = delete;

  std::string data_dir;     // empty: not installed
  std::string log_file;     // empty: the configuration's
  std::string config_file;  // empty: "zv-config.txt"
};

} // namespace zv

#endif
