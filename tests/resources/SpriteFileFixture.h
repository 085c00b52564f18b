// A started engine (headless) for loading sprite files written by the test.
#ifndef ZV_SPRITE_FILE_FIXTURE_H
#define ZV_SPRITE_FILE_FIXTURE_H

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "resources/ResourceManager.h"

class SpriteFiles : public testing::Test {
 protected:
  zv::ResourceManager& rm = zv::ResourceManager::getInstance();
  zv::Sprite* p_keep = nullptr;
  std::vector<std::string> lines;  // log messages of the last load()

  void SetUp() override {
    ASSERT_EQ(zvtest::startHeadless(), 0);
    zvtest::writeFile("keep.txt", "1\n1\n1\n0\nblue\nk\n");
    ASSERT_EQ(rm.loadSprite("keep.txt", "keep"), 0);
    p_keep = rm.getSprite("keep");
    zv::LogManager::getInstance().setLogLevel(1);
  }
  void TearDown() override { zv::GameManager::getInstance().shutDown(); }

  // Loads text as a sprite file under label. A failed load must leave the
  // tables exactly as they were.
  int load(const std::string& text, const std::string& label = "s") {
    std::size_t mark = zvtest::logMessages().size();
    int before = rm.getSpriteCount();
    zvtest::writeFile("sprite.txt", text);
    int result = rm.loadSprite("sprite.txt", label);
    std::vector<std::string> all = zvtest::logMessages();
    lines.assign(all.begin() + static_cast<long>(mark < all.size() ? mark : all.size()), all.end());
    if (result != 0) {
      EXPECT_EQ(rm.getSpriteCount(), before);
      EXPECT_EQ(rm.getSprite("keep"), p_keep);
      EXPECT_EQ(p_keep->getLabel(), "keep");
    } else {
      EXPECT_EQ(rm.getSpriteCount(), before + 1);
    }
    return result;
  }

  // Every expected message was logged by the last load, in this order.
  ::testing::AssertionResult logged(const std::vector<std::string>& expected) const {
    std::size_t at = 0;
    for (const std::string& want : expected) {
      while (at < lines.size() && lines[at] != want)
        at++;
      if (at == lines.size()) {
        std::string got;
        for (const std::string& l : lines)
          got += "\n  [" + l + "]";
        return ::testing::AssertionFailure() << "missing (or out of order) [" << want << "] in:" << got;
      }
      at++;
    }
    return ::testing::AssertionSuccess();
  }
  bool mentions(const std::string& text) const {
    for (const std::string& l : lines)
      if (l.find(text) != std::string::npos)
        return true;
    return false;
  }
};

// A robust file from its three sections' contents.
inline std::string robust(const std::string& header, const std::string& body,
                          const std::string& footer = "version 1\n") {
  return "<HEADER>\n" + header + "</HEADER>\n<BODY>\n" + body + "</BODY>\n<FOOTER>\n" + footer + "</FOOTER>\n";
}

// The two-frame example: 3 x 1, red.
inline std::string example() { return robust("frames 2\nwidth 3\nheight 1\ncolor red\n", "=o=\nend\n-o-\nend\n"); }

#endif
