#include <zelvra/platform/DataDir.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <zelvra/platform/Platform.h>

namespace fs = std::filesystem;

namespace zv {
namespace platform {

std::string executableDir() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string();
}

std::string userDir(const char* variable, const char* fallback, const std::string& name) {
  const char* base = getenv(variable);
  fs::path dir;
  if (base && fs::path(base).is_absolute()) {
    dir = base;
  } else {
    const char* home = getenv("HOME");
    if (!home || !*home)
      return std::string();
    dir = fs::path(home) / fallback;
  }
  dir /= name;
  std::error_code ec;
  fs::create_directories(dir, ec);
  return fs::is_directory(dir, ec) ? dir.string() : std::string();
}

bool copyFileIfMissing(const std::string& from, const std::string& to) {
  std::error_code ec;
  fs::copy_file(from, to, fs::copy_options::skip_existing, ec);
  return isRegularFile(to.c_str());
}

} // namespace platform
} // namespace zv
