// Arbitrary text through ViewObject::deserialize on a started (headless)
// engine; the view object is then written out, drawn and deleted by the world.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzEngine.h"
#include <zelvra/core/GameManager.h>
#include <zelvra/display/ViewObject.h>
#include <zelvra/world/WorldManager.h>

extern "C" int LLVMFuzzerInitialize(int*, char***) { return startHeadlessEngine(); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  zv::ViewObject* p = new zv::ViewObject;
  p->deserialize(text);
  p->serialize("ALL");
  p->serialize("");
  p->draw();
  zv::WorldManager& world = zv::WorldManager::getInstance();
  world.markForDelete(p);
  world.update();
  return 0;
}
