// Arbitrary bytes as a sprite file through the ResourceManager: whatever
// the file says, the load ends in a sprite or a logged refusal, and a
// loaded sprite can be animated.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include <zelvra/core/LogManager.h>
#include <zelvra/resources/Animation.h>
#include <zelvra/resources/ResourceManager.h>

namespace {
std::string sprite_file = "fuzz-sprite.txt";
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A file in memory where there is one: a disk write per run is most of the time.
  if (FILE* probe = fopen("/dev/shm/zv-fuzz-probe", "wb")) {
    fclose(probe);
    remove("/dev/shm/zv-fuzz-probe");
    sprite_file = "/dev/shm/zv-fuzz-sprite-" + std::to_string(getpid()) + ".txt";
  }
  // Every message is formatted (so its arguments are checked) but none is kept.
  setenv("ZELVRA_LOG", "/dev/null", 1);
  zv::LogManager::getInstance().startUp();
  zv::LogManager::getInstance().setLogLevel(30);
  zv::ResourceManager::getInstance().startUp();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* f = fopen(sprite_file.c_str(), "wb");
  if (!f)
    return 0;
  fwrite(data, 1, size, f);
  fclose(f);

  zv::ResourceManager& rm = zv::ResourceManager::getInstance();
  if (rm.loadSprite(sprite_file, "fuzz") == 0) {
    zv::Sprite* p_sprite = rm.getSprite("fuzz");
    if (!p_sprite || p_sprite->getFrameCount() < 1)
      abort();  // a loaded sprite always has its frames
    zv::Animation animation;
    animation.setSprite(p_sprite);
    for (int i = 0; i < 3 * p_sprite->getFrameCount() + 2; i++)
      animation.draw(zv::Vector(10, 10));
    animation.getBox();
  }
  // Start again with empty tables, so the sprite limit is never reached.
  rm.shutDown();
  rm.startUp();
  return 0;
}
