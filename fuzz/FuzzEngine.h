// Fuzz targets that need the world start a headless engine once, in a
// folder of their own.
#ifndef ZV_FUZZ_ENGINE_H
#define ZV_FUZZ_ENGINE_H

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include <zelvra/core/GameManager.h>

inline int startHeadlessEngine() {
  char dir_template[] = "/tmp/zelvra-fuzz-XXXXXX";
  if (!mkdtemp(dir_template) || chdir(dir_template) != 0)
    return 1;
  FILE* config = fopen("zv-config.txt", "w");
  if (config) {
    fputs("headless:true,frame_time:0,", config);
    fclose(config);
  }
  return zv::GameManager::getInstance().startUp();
}

#endif
