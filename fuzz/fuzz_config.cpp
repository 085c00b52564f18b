// Arbitrary bytes as a configuration file and as a matcher text: the
// settings are read and printed, the matcher parses, nothing crashes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <zelvra/core/Config.h>
#include <zelvra/core/Match.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);

  // Half the runs go through a real file with the line rules.
  if (size > 0 && (data[0] & 1)) {
    FILE* f = fopen("fuzz-config.txt", "wb");
    if (f) {
      fwrite(data, 1, size, f);
      fclose(f);
    }
    setenv("ZELVRA_CONFIG", "fuzz-config.txt", 1);
    std::string empty;
    zv::Config::getInstance().reset();
    zv::Config::getInstance().loadConfig(empty);
  } else {
    zv::Config::getInstance().reset();
    zv::Config::getInstance().loadConfig(text);
  }
  zv::Config::getInstance().writeConfig();

  // The matcher on its own, then a search of the shared tables.
  std::string key = size > 3 ? text.substr(0, 3) : text;
  zv::match(text, key);
  zv::match("", "frame_time");
  return 0;
}
