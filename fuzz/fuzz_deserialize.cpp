// Arbitrary text through Object::deserialize on a started (headless) engine;
// the object is then written out and deleted by the world.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzEngine.h"
#include <zelvra/core/GameManager.h>
#include <zelvra/world/Object.h>
#include <zelvra/world/WorldManager.h>

extern "C" int LLVMFuzzerInitialize(int*, char***) { return startHeadlessEngine(); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  zv::Object* p = new zv::Object;
  p->deserialize(text);
  p->serialize("ALL");
  p->serialize("");
  zv::WorldManager& world = zv::WorldManager::getInstance();
  world.markForDelete(p);
  world.update();
  return 0;
}
