#include <string>
#include <sys/stat.h>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "resources/ResourceManager.h"

namespace {

std::string robust(const std::string& header, const std::string& body, const std::string& footer = "version 1\n") {
  return "<HEADER>\n" + header + "</HEADER>\n<BODY>\n" + body + "</BODY>\n<FOOTER>\n" + footer + "</FOOTER>\n";
}
const std::string RED3 = "width 3\nheight 1\ncolor red\n";
const std::string EXAMPLE = robust("frames 2\n" + RED3, "=o=\nend\n-o-\nend\n");
const std::string HEADER = "2\n3\n1\n4\nred\n";
const std::string TINY = "1\n1\n1\n0\nred\n*\n";
const std::string ONE = "frames 1\nwidth 1\nheight 1\n";

// A started engine and a sprite "keep" that every failed load must leave alone.
class SpriteFiles : public testing::Test {
 protected:
  zv::ResourceManager& rm = zv::ResourceManager::getInstance();
  zv::Sprite* p_keep = nullptr;
  std::vector<std::string> lines;  // log messages of the last load()

  void SetUp() override {
    ASSERT_EQ(zvtest::startHeadless(), 0);
    zvtest::writeFile("keep.txt", TINY);
    ASSERT_EQ(rm.loadSprite("keep.txt", "keep"), 0);
    p_keep = rm.getSprite("keep");
    zv::LogManager::getInstance().setLogLevel(5);
  }
  void TearDown() override { zv::GameManager::getInstance().shutDown(); }

  int load(const std::string& text, const std::string& label = "s") {
    std::size_t mark = zvtest::logMessages().size();
    int before = rm.getSpriteCount();
    zvtest::writeFile("sprite.txt", text);
    int result = rm.loadSprite("sprite.txt", label);
    lines = zvtest::logMessages();
    lines.erase(lines.begin(), lines.begin() + static_cast<long>(std::min(mark, lines.size())));
    EXPECT_EQ(rm.getSpriteCount(), before + (result == 0 ? 1 : 0));
    EXPECT_EQ(rm.getSprite("keep"), p_keep);
    return result;
  }
  // Every expected message was logged by the last load, in this order.
  testing::AssertionResult logged(const std::vector<std::string>& expected) const {
    std::size_t at = 0;
    for (const std::string& want : expected) {
      while (at < lines.size() && lines[at] != want)
        at++;
      if (at++ == lines.size())
        return testing::AssertionFailure() << "missing or out of order: [" << want << "]";
    }
    return testing::AssertionSuccess();
  }
};

} // namespace

TEST_F(SpriteFiles, GoodFilesLoad) {
  const struct {
    std::string text;
    int frames, width, height, slowdown;
    zv::Color color;
    char transparency;
    std::string last_frame;
    std::vector<std::string> logged;
  } cases[] = {
      {HEADER + "=o=\n-o-\n", 2, 3, 1, 4, zv::RED, 0, "-o-",
       {"RM::loadSprite(): Loading sprite 'sprite.txt'.", "RM::loadSprite(): assuming simple sprite file format.",
        "RM::loadSprite(): Sprite 's0' loaded."}},
      {"2 frames\n2\n2\n0 steps\nwhite\nab\ncd\nef\ngh\n", 2, 2, 2, 0, zv::WHITE, 0, "efgh", {}},
      {"1\r\n3\r\n2\r\n1\r\ncyan\r\nabc\r\ndef\r\n", 1, 3, 2, 1, zv::CYAN, 0, "abcdef", {}},
      {"1\n1\n1200\n0\nmagenta\n" + [] { std::string s; for (int i = 0; i < 1200; i++) s += "x\n"; return s; }(),
       1, 1, 1200, 0, zv::MAGENTA, 0, std::string(1200, 'x'), {}},
      {EXAMPLE, 2, 3, 1, 0, zv::RED, 0, "-o-",
       {"RM::loadSprite(): assuming robust sprite file format.",
        "RM::loadRobustSprite(): Note! No 'transparency' in header.",
        "RM::loadRobustSprite(): Note! No 'slowdown' in header.", "\t      Frames: 2", "\t       Width: 3",
        "\t      Height: 1", "\t    Slowdown: 0", "\tTransparency: (none)", "\t       Color: Red"}},
      // Nothing after the footer is read.
      {EXAMPLE + "anything\n\nat all", 2, 3, 1, 0, zv::RED, 0, "-o-", {}},
      // Keys in any order; a repeated key warns and the later value wins.
      {robust("height 1\nframes 3\nwidth 1\nframes 1\nslowdown 7\ntransparency #\ncolor yellow\n", "#\nend\n"), 1, 1,
       1, 7, zv::YELLOW, '#', "#", {"matchLineInt(): Warning! 'frames 1' matches multiple lines.", "\tTransparency: #"}},
      // A misspelt key is unused and the colour falls back to white.
      {robust(ONE + "colour red\n", "x\nend\n"), 1, 1, 1, 0, zv::WHITE, 0, "x",
       {"RM::loadRobustSprite(): Warning! No 'color' in header.",
        "RM::loadRobustSprite(): Warning! Unused HEADER lines:", "\t'colour red'"}},
      // A bare key has no value; a space after the separator is the transparent character.
      {robust(ONE + "slowdown\ntransparency\ncolor\n", "x\nend\n"), 1, 1, 1, 0, zv::WHITE, 0, "x", {}},
      {robust("frames 1\nwidth 2\nheight 1\ncolor default\ntransparency  \n", "x \nend\n"), 1, 2, 1, 0, zv::WHITE, ' ',
       "x ", {}},
      {robust(ONE, "x\nend\n", "version 2\nauthor me\n"), 1, 1, 1, 0, zv::WHITE, 0, "x",
       {"RM::loadRobustSprite(): Warning! Unused FOOTER lines:", "\t'author me'"}},
      // Bytes outside 7-bit ASCII load with a warning; 127 is still ASCII.
      {"1\n4\n1\n0\nred\n\xe9t\x7f\xe9\n", 1, 4, 1, 0, zv::RED, 0, "\xe9t\x7f\xe9",
       {"RM::loadSprite(): Warning! Sprite 's11' has 2 characters outside 7-bit ASCII, drawn as '?'."}},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::string label = "s" + std::to_string(n++);
    ASSERT_EQ(load(c.text, label), 0);
    zv::Sprite* p_s = rm.getSprite(label);
    ASSERT_NE(p_s, nullptr);
    EXPECT_EQ(p_s->getFrameCount(), c.frames);
    EXPECT_EQ(p_s->getWidth(), c.width);
    EXPECT_EQ(p_s->getHeight(), c.height);
    EXPECT_EQ(p_s->getSlowdown(), c.slowdown);
    EXPECT_EQ(p_s->getColor(), c.color);
    EXPECT_EQ(p_s->getTransparency(), c.transparency);
    EXPECT_EQ(p_s->getFrame(c.frames - 1).getString(), c.last_frame);
    EXPECT_TRUE(logged(c.logged));
    // Bare keys are taken out of the header, not left unused.
    EXPECT_FALSE(c.logged.empty() && logged({"RM::loadRobustSprite(): Warning! Unused HEADER lines:"}));
  }
  for (const char* colour : {"black", "green", "blue"}) {
    ASSERT_EQ(load(std::string("1\n1\n1\n1\n") + colour + "\nx\n", colour), 0);
    EXPECT_EQ(zv::colorToString(rm.getSprite(colour)->getColor()), std::string(1, colour[0] - 32) + (colour + 1));
  }
}

TEST_F(SpriteFiles, BadFilesAreRefusedWithTheReason) {
  const std::string end_of_file = "RM::loadSimpleSprite(): Error! Unexpected end of file.";
  const std::string not_loaded = "RM::loadSprite(): Sprite 's' NOT loaded.";
  const struct {
    std::string text;
    std::vector<std::string> logged;
  } cases[] = {
      {"", {"getLine(): Error! Unexpected end of file.", "RM::loadSprite(): Error! Unknown sprite file format.",
            "RM::loadSprite(): First line is ''.", not_loaded}},
      {"0\n1\n1\n0\nred\n*\n", {"RM::loadSprite(): First line is '0'."}},
      {std::string("\0\0\xff\x01garbage", 11), {"RM::loadSprite(): Error! Unknown sprite file format."}},
      {"<HEADER> \n" + ONE + "</HEADER>\n", {"RM::loadSprite(): First line is '<HEADER> '."}},
      // Simple files.
      {"1\n", {"getLine(): Error! Unexpected end of file.", end_of_file, "\tMissing width (an integer).", not_loaded}},
      {"1\n1\n", {end_of_file, "\tMissing height (an integer)."}},
      {"1\n1\n1\n", {end_of_file, "\tMissing slowdown (an integer)."}},
      {"1\n1\n1\n1\n", {end_of_file, "\tMissing color (a string)."}},
      {"1\n1\n\n1\nred\nx\n", {end_of_file, "\tMissing height (an integer)."}},
      {"1\n0\n1\n1\nred\nx\n", {"RM::loadSimpleSprite(): Error line 2! Width is '0'."}},
      {"1\nwide\n1\n1\nred\nx\n", {"RM::loadSimpleSprite(): Error line 2! Width is 'wide'."}},
      {"1\n1\n-2\n1\nred\nx\n", {"RM::loadSimpleSprite(): Error line 3! Height is '-2'."}},
      {"1\n1\n1\n-1\nred\nx\n", {"RM::loadSimpleSprite(): Error line 4! Slowdown is '-1'."}},
      {"1\n1\n1\n1\nred \nx\n", {"RM::loadSimpleSprite(): Error line 5! Unrecognized color 'red '.",
                                 "  Valid colors are: black, red, green, yellow,",
                                 "                    blue, magenta, cyan or white."}},
      {"1\n1\n1\n1\ndefault\nx\n", {"RM::loadSimpleSprite(): Error line 5! Unrecognized color 'default'."}},
      {HEADER + "=o=\n-o\n", {"RM::loadSimpleSprite(): Error line 7!", "\tLine  7: '-o'", "\tWidth is 2, expected 3."}},
      {HEADER + "=o=\n-o-o\n", {"\tWidth is 4, expected 3."}},
      {"1\n3\n1\n0\nred\n\xc3\xa9t\xc3\xa9\n", {"\tWidth is 5, expected 3."}},  // UTF-8: two bytes a letter
      {HEADER + "=o=\n", {end_of_file, "\tReading frame 2 of 2, row 1 of 1."}},
      {HEADER + "=o=\n\n-o-\n", {"\tReading frame 2 of 2, row 1 of 1."}},
      {HEADER + "=o=\n-o-", {"getLine(): Error! Unexpected end of file.", end_of_file}},
      {HEADER + "=o=\n-o-\n\n", {"RM::loadSimpleSprite(): Error line 8!", "\tExtra file data: ''"}},
      {HEADER + "=o=\n-o-\n\r\n", {"\tExtra file data: ''"}},
      {HEADER + "=o=\n-o-\nz", {"RM::loadSimpleSprite(): Error line 8!", "\tExtra file data: 'z'"}},
      {"2147483647\n1\n1\n1\nred\nx\n", {"\tReading frame 2 of 2147483647, row 1 of 1."}},
      // Robust files.
      {robust("width 1\nheight 1\n", "x\nend\n"), {"RM::loadRobustSprite(): Error! Missing 'frames' in header.",
                                                   not_loaded}},
      {robust("frames 1\nheight 1\n", "x\nend\n"), {"RM::loadRobustSprite(): Error! Missing 'width' in header."}},
      {robust("frames 1\nwidth 1\n", "x\nend\n"), {"RM::loadRobustSprite(): Error! Missing 'height' in header."}},
      {robust("frames 1\nwidth\nheight 1\n", "x\nend\n"), {"RM::loadRobustSprite(): Error! Missing 'width' in header."}},
      {robust(ONE + "color Red\n", "x\nend\n"), {"RM::loadRobustSprite(): Error! Unrecognized color 'Red'.",
                                                 "  Valid colors are: black, red, green, yellow,",
                                                 "                    blue, magenta, cyan and white."}},
      {"<HEADER>\n" + ONE + "</HEADER>\n<BDY>\nx\nend\n</BODY>\n",
       {"readData(): Error line 6! Expected '<BODY>', have '<BDY>'.", not_loaded}},
      {"<HEADER>\nframes 1\n\nwidth 1\n</HEADER>\n", {"readData(): Error! Never encountered '</HEADER>'."}},
      {"<HEADER>\n" + ONE + "</HEADER>\n<BODY>\nx\nend\n",
       {"getLine(): Error! Unexpected end of file.", "readData(): Error! Never encountered '</BODY>'."}},
      {"<HEADER>\n" + ONE + "</HEADER>\n<BODY>\nx\nend\n</BODY>\n",
       {"readData(): Error line 9! Expected '<FOOTER>', have ''."}},
      {robust(ONE, ""), {}}, {robust(ONE, "x\nend\n", ""), {}},
      {EXAMPLE.substr(0, EXAMPLE.size() - 1), {"readData(): Error! Never encountered '</FOOTER>'."}},
      {robust(ONE, "x\nend\n", "author me\n"), {"RM::loadRobustSprite(): Error! Missing 'version' in FOOTER (line 12)."}},
      {robust(ONE, "x\nend\n", "version\n"), {"RM::loadRobustSprite(): Error! Missing 'version' in FOOTER (line 12)."}},
      {robust("frames 2\n" + RED3, "=o=\nend\n-o\nend\n"),
       {"\tError! Line 10: Line length is 2 (frame width is 3).", "\tLine 10: '-o'",
        "RM::loadRobustSprite(): Error! No frame data to add.", not_loaded}},
      {robust("frames 2\n" + RED3, "=o=\n-o-\nend\n"), {"\tError! Line 10: Expected 'end'.",
                                                                    "\tLine 10: '-o-'"}},
      {robust("frames 2\n" + RED3, "=o=\nend\n-o-\n"), {"\tError! Line 11: No more frame data before 'end'."}},
      {robust("frames 1\nwidth 3\nheight 0\n", "end\n"), {"RM::loadRobustSprite(): Error! No frame data to add."}},
      {robust("frames 1\nwidth -3\nheight 1\n", "abc\nend\n"), {"\tError! Line 8: Line length is 3 (frame width is -3)."}},
      {robust("frames 3\n" + RED3, "=o=\nend\n-o-\nend\n"),
       {"\tError! Line 11: No more frame data before 'end'.", "RM::loadRobustSprite(): Error! No frame data to add."}},
      {robust("frames 1\n" + RED3, "=o=\nend\n-o-\nend\n"),
       {"RM::loadRobustSprite(): Error! Extra BODY:", "\tLine 12: -o-", "\tLine 13: end"}},
      {robust("frames 0\nwidth 3\nheight 1\n", "=o=\nend\n"), {"RM::loadRobustSprite(): Error! Extra BODY:"}},
      {robust("frames -4\nwidth 3\nheight 1\n", "=o=\nend\n"),
       {"Sprite::Sprite(): Error! Unable to allocate -4 frames.", "RM::loadRobustSprite(): Error! Extra BODY:"}},
      // Nothing is set aside for frames the body does not have.
      {robust("frames 2000000000\nwidth 3\nheight 1\n", "=o=\nend\n"),
       {"\tError! Line 9: No more frame data before 'end'."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(load(c.text), -1);
    EXPECT_TRUE(logged(c.logged));
  }
  EXPECT_EQ(p_keep->getLabel(), "keep");
  EXPECT_EQ(rm.loadSprite("no-such-file.txt", "gone"), -1);
  EXPECT_TRUE(zvtest::logContains("RM::loadSprite(): Error! Cannot open file 'no-such-file.txt'."));
  EXPECT_TRUE(zvtest::logContains("RM::loadSprite(): Sprite 'gone' not loaded."));
  mkdir("a-folder", 0700);
  EXPECT_EQ(rm.loadSprite("a-folder", "folder"), -1);
  EXPECT_EQ(rm.getSpriteCount(), 1);
  EXPECT_FALSE(zvtest::logContains("Unable to allocate 2000000000"));
}

TEST_F(SpriteFiles, LookupIsExactFirstComesFirstAndAtMostOneThousand) {
  ASSERT_EQ(load("1\n1\n1\n0\nred\nA\n", "twin"), 0);
  ASSERT_EQ(load("1\n1\n1\n0\ngreen\nB\n", "twin"), 0);
  EXPECT_EQ(rm.getSprite("twin")->getColor(), zv::RED);
  for (const char* label : {"Twin", "twin ", ""})
    EXPECT_EQ(rm.getSprite(label), nullptr);
  EXPECT_TRUE(zvtest::logContains("RM::getSprite(): Warning! Sprite 'Twin' not found."));
  zvtest::writeFile("tiny.txt", TINY);
  for (int i = 3; i < zv::MAX_SPRITES; i++)
    ASSERT_EQ(rm.loadSprite("tiny.txt", "s" + std::to_string(i)), 0);
  EXPECT_EQ(rm.getSpriteCount(), 1000);
  EXPECT_EQ(load(TINY, "one-too-many"), -1);
  EXPECT_TRUE(logged({"RM::loadRobustSprite(): Error! Cannot add more Sprites (max is 1000).",
                      "RM::loadRobustSprite(): Sprite 'one-too-many' not loaded."}));
  EXPECT_FALSE(logged({"RM::loadSprite(): Loading sprite 'sprite.txt'."}));
  EXPECT_NE(rm.getSprite("s999"), nullptr);
}

// Every sprite the game ships, through the real loader.
TEST_F(SpriteFiles, TheGamesSpritesAllLoad) {
  const struct {
    const char *label, *file;
    int width, height, frames, slowdown;
    zv::Color color;
    char transparency;
  } sprites[] = {
      {"car", "racer-spr.txt", 8, 3, 1, 1, zv::CYAN, ' '},
      {"spiketrap", "spiketrap-spr.txt", 6, 2, 1, 1, zv::WHITE, 0},
      {"spiketrapHit", "spiketrap-hit-spr.txt", 6, 2, 1, 1, zv::WHITE, 0},
      {"cones", "cones-spr.txt", 6, 2, 1, 1, zv::YELLOW, 0},
      {"conesHit", "cones-hit-spr.txt", 6, 2, 1, 1, zv::YELLOW, 0},
      {"gas", "gas-spr.txt", 5, 3, 1, 1, zv::GREEN, 0},
      {"oil", "oil-spr.txt", 6, 2, 2, 8, zv::MAGENTA, 0},
      {"oilHit", "oil-hit-spr.txt", 6, 2, 1, 1, zv::MAGENTA, 0},
      {"warning", "warning-spr.txt", 5, 3, 2, 5, zv::RED, ' '},
      {"missile", "missile-spr.txt", 6, 1, 2, 2, zv::RED, 0},
      {"start", "start-spr.txt", 68, 16, 6, 2, zv::YELLOW, 0},
      {"gameover", "gameOver-spr.txt", 60, 10, 4, 5, zv::RED, 0},
  };
  for (const auto& e : sprites) {
    SCOPED_TRACE(e.file);
    ASSERT_EQ(rm.loadSprite(std::string(ZELVRA_SOURCE_DIR "/sprites/") + e.file, e.label), 0);
    zv::Sprite* p_s = rm.getSprite(e.label);
    EXPECT_EQ(p_s->getWidth(), e.width);
    EXPECT_EQ(p_s->getHeight(), e.height);
    EXPECT_EQ(p_s->getFrameCount(), e.frames);
    EXPECT_EQ(p_s->getSlowdown(), e.slowdown);
    EXPECT_EQ(p_s->getColor(), e.color);
    EXPECT_EQ(p_s->getTransparency(), e.transparency);
    for (int f = 0; f < p_s->getFrameCount(); f++)
      EXPECT_EQ(p_s->getFrame(f).getString().size(), static_cast<std::size_t>(e.width * e.height));
  }
  for (const char* problem : {"Error", "matches multiple lines", "Unused", "outside 7-bit ASCII"})
    EXPECT_FALSE(zvtest::logContains(problem));
}
