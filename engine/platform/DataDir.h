// Where an installed program finds its data and keeps its user's files:
// the folder of the running executable, the user's own folders, and the
// few file operations that setting them up needs.
#ifndef ZV_DATA_DIR_H
#define ZV_DATA_DIR_H

#include <string>

namespace zv {
namespace platform {

// The folder holding the running executable; empty when the system does not say.
std::string executableDir();

// The user's folder `name` under the folder named by the environment variable
// `variable` (XDG_STATE_HOME, XDG_CONFIG_HOME, ...), or under $HOME/`fallback`
// when that is unset or not absolute. Made, with its parents, when missing;
// empty when there is no such place or it cannot be made.
std::string userDir(const char* variable, const char* fallback, const std::string& name);

// Copies `from` to `to` unless `to` exists; true when `to` exists afterwards.
bool copyFileIfMissing(const std::string& from, const std::string& to);

} // namespace platform
} // namespace zv

#endif
