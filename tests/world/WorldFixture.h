// A started engine (headless, frame time 0) for tests of world objects.
#ifndef ZV_WORLD_FIXTURE_H
#define ZV_WORLD_FIXTURE_H

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "world/ObjectList.h"
#include "world/ObjectListIterator.h"
#include "world/WorldManager.h"

// An object whose change flags a test can clear and read as a list.
class FlagProbe : public zv::Object {
 public:
  void clearFlags() {
    for (bool& flag : modified)
      flag = false;
  }
  std::vector<int> marked() const {
    std::vector<int> out;
    for (int i = 0; i < zv::ATTRIBUTE_COUNT; i++)
      if (isModified(static_cast<zv::ObjectAttribute>(i)))
        out.push_back(i);
    return out;
  }
};

class WorldTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(zvtest::startHeadless(), 0); }
  void TearDown() override {
    if (zv::GameManager::getInstance().isStarted())
      zv::GameManager::getInstance().shutDown();
  }
  static std::vector<zv::Object*> order(const zv::ObjectList& list) {
    std::vector<zv::Object*> out;
    zv::ObjectListIterator li(&list);
    for (li.first(); !li.isDone(); li.next())
      out.push_back(li.currentObject());
    return out;
  }
  static bool contains(const zv::ObjectList& list, zv::Object* p_o) {
    for (zv::Object* q : order(list))
      if (q == p_o)
        return true;
    return false;
  }
  // Lines written so far (the log is flushed first).
  static bool logged(const std::string& text) {
    fflush(nullptr);
    return zvtest::logContains(text);
  }
};

#endif
