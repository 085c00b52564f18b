#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include <zelvra/core/GameManager.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/resources/ResourceManager.h>

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
    auto at = lines.begin();
    for (const std::string& want : expected)
      if ((at = std::find(at, lines.end(), want)) == lines.end())
        return testing::AssertionFailure() << "missing or out of order: [" << want << "]";
    return testing::AssertionSuccess();
  }
};

} // namespace

// Frames, size, slowdown, colour, transparent character ('-' for none) and the last frame.
std::string describe(zv::Sprite* p_s) {
  std::ostringstream out;
  out << p_s->getFrameCount() << " " << p_s->getWidth() << "x" << p_s->getHeight() << " " << p_s->getSlowdown() << " "
      << zv::colorToString(p_s->getColor()) << " " << (p_s->getTransparency() ? p_s->getTransparency() : '-') << " "
      << p_s->getFrame(p_s->getFrameCount() - 1).getString();
  return out.str();
}

TEST_F(SpriteFiles, GoodFilesLoad) {
  std::string tall;
  for (int i = 0; i < 1200; i++)
    tall += "x\n";
  const struct { std::string text, sprite; std::vector<std::string> logged; } cases[] = {
      {HEADER + "=o=\n-o-\n", "2 3x1 4 Red - -o-",
       {"RM::loadSprite(): Loading sprite 'sprite.txt'.", "RM::loadSprite(): assuming simple sprite file format.",
        "RM::loadSprite(): Sprite 's0' loaded."}},
      {"2 frames\n2\n2\n0 steps\nwhite\nab\ncd\nef\ngh\n", "2 2x2 0 White - efgh", {}},
      {"1\r\n3\r\n2\r\n1\r\ncyan\r\nabc\r\ndef\r\n", "1 3x2 1 Cyan - abcdef", {}},
      {"1\n1\n1200\n0\nmagenta\n" + tall, "1 1x1200 0 Magenta - " + std::string(1200, 'x'), {}},
      {EXAMPLE, "2 3x1 0 Red - -o-",
       {"RM::loadSprite(): assuming robust sprite file format.",
        "RM::loadRobustSprite(): Note! No 'transparency' in header.",
        "RM::loadRobustSprite(): Note! No 'slowdown' in header.", "\t      Frames: 2", "\t       Width: 3",
        "\t      Height: 1", "\t    Slowdown: 0", "\tTransparency: (none)", "\t       Color: Red"}},
      {EXAMPLE + "anything\n\nat all", "2 3x1 0 Red - -o-", {}},  // nothing after the footer is read
      // Keys in any order; a repeated key warns and the later value wins.
      {robust("height 1\nframes 3\nwidth 1\nframes 1\nslowdown 7\ntransparency #\ncolor yellow\n", "#\nend\n"),
       "1 1x1 7 Yellow # #", {"matchLineInt(): Warning! 'frames 1' matches multiple lines.", "\tTransparency: #"}},
      {robust(ONE + "colour red\n", "x\nend\n"), "1 1x1 0 White - x",
       {"RM::loadRobustSprite(): Warning! No 'color' in header.",
        "RM::loadRobustSprite(): Warning! Unused HEADER lines:", "\t'colour red'"}},
      // A bare key has no value; a space after the separator is the transparent character.
      {robust(ONE + "slowdown\ntransparency\ncolor\n", "x\nend\n"), "1 1x1 0 White - x", {}},
      {robust("frames 1\nwidth 2\nheight 1\ncolor default\ntransparency  \n", "x \nend\n"), "1 2x1 0 White   x ", {}},
      {robust(ONE + "color green\n", "x\nend\n", "version 2\nauthor me\n"), "1 1x1 0 Green - x",
       {"RM::loadRobustSprite(): Warning! Unused FOOTER lines:", "\t'author me'"}},
      // Bytes outside 7-bit ASCII load with a warning; 127 is still ASCII.
      {"1\n4\n1\n0\nblue\n\xe9t\x7f\xe9\n", "1 4x1 0 Blue - \xe9t\x7f\xe9",
       {"RM::loadSprite(): Warning! Sprite 's11' has 2 characters outside 7-bit ASCII, drawn as '?'."}},
  };
  int n = 0;
  for (const auto& c : cases) {
    std::string label = "s" + std::to_string(n++);
    ASSERT_EQ(load(c.text, label), 0) << c.text;
    EXPECT_EQ(describe(rm.getSprite(label)), c.sprite);
    EXPECT_TRUE(logged(c.logged)) << c.text;
    // Bare keys are taken out of the header, not left unused.
    EXPECT_FALSE(c.logged.empty() && logged({"RM::loadRobustSprite(): Warning! Unused HEADER lines:"})) << c.text;
  }
  EXPECT_EQ(zvtest::logCount("outside 7-bit ASCII"), 1);  // only the file that has such bytes
}

TEST_F(SpriteFiles, BadFilesAreRefusedWithTheReason) {
  const std::string eof = "getLine(): Error! Unexpected end of file.", simple_eof = "RM::loadSimpleSprite(): Error! "
                                                                                      "Unexpected end of file.";
  const std::string not_loaded = "RM::loadSprite(): Sprite 's' NOT loaded.", error = "RM::loadRobustSprite(): Error! ";
  const struct { std::string text; std::vector<std::string> logged; } cases[] = {
      {"", {eof, "RM::loadSprite(): Error! Unknown sprite file format.", "RM::loadSprite(): First line is ''.",
            not_loaded}},
      {"0\n1\n1\n0\nred\n*\n", {"RM::loadSprite(): First line is '0'."}},
      {std::string("\0\0\xff\x01garbage", 11), {"RM::loadSprite(): Error! Unknown sprite file format."}},
      {"<HEADER> \n" + ONE + "</HEADER>\n", {"RM::loadSprite(): First line is '<HEADER> '."}},
      // Simple files.
      {"1\n", {eof, simple_eof, "\tMissing width (an integer).", not_loaded}},
      {"1\n1\n", {simple_eof, "\tMissing height (an integer)."}},
      {"1\n1\n1\n", {simple_eof, "\tMissing slowdown (an integer)."}},
      {"1\n1\n1\n1\n", {simple_eof, "\tMissing color (a string)."}},
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
      {HEADER + "=o=\n", {simple_eof, "\tReading frame 2 of 2, row 1 of 1."}},
      {HEADER + "=o=\n\n-o-\n", {"\tReading frame 2 of 2, row 1 of 1."}},
      {HEADER + "=o=\n-o-", {eof, simple_eof}},
      {HEADER + "=o=\n-o-\n\n", {"RM::loadSimpleSprite(): Error line 8!", "\tExtra file data: ''"}},
      {HEADER + "=o=\n-o-\nz", {"RM::loadSimpleSprite(): Error line 8!", "\tExtra file data: 'z'"}},
      {"2147483647\n1\n1\n1\nred\nx\n", {"\tReading frame 2 of 2147483647, row 1 of 1."}},
      // Robust files.
      {robust("width 1\nheight 1\n", "x\nend\n"), {error + "Missing 'frames' in header.", not_loaded}},
      {robust("frames 1\nheight 1\n", "x\nend\n"), {error + "Missing 'width' in header."}},
      {robust("frames 1\nwidth 1\n", "x\nend\n"), {error + "Missing 'height' in header."}},
      {robust(ONE + "color Red\n", "x\nend\n"), {error + "Unrecognized color 'Red'.",
                                                "  Valid colors are: black, red, green, yellow,",
                                                "                    blue, magenta, cyan and white."}},
      {"<HEADER>\n" + ONE + "</HEADER>\n<BDY>\n", {"readData(): Error line 6! Expected '<BODY>', have '<BDY>'.",
                                                   not_loaded}},
      {"<HEADER>\nframes 1\n\nwidth 1\n</HEADER>\n", {"readData(): Error! Never encountered '</HEADER>'."}},
      {"<HEADER>\n" + ONE + "</HEADER>\n<BODY>\nx\nend\n", {eof, "readData(): Error! Never encountered '</BODY>'."}},
      {"<HEADER>\n" + ONE + "</HEADER>\n<BODY>\nx\nend\n</BODY>\n",
       {"readData(): Error line 9! Expected '<FOOTER>', have ''."}},
      {robust(ONE, ""), {}}, {robust(ONE, "x\nend\n", ""), {}},
      {EXAMPLE.substr(0, EXAMPLE.size() - 1), {"readData(): Error! Never encountered '</FOOTER>'."}},
      {robust(ONE, "x\nend\n", "author me\n"), {error + "Missing 'version' in FOOTER (line 12)."}},
      {robust("frames 2\n" + RED3, "=o=\nend\n-o\nend\n"), {"\tError! Line 10: Line length is 2 (frame width is 3).",
                                                           "\tLine 10: '-o'", error + "No frame data to add.",
                                                           not_loaded}},
      {robust("frames 2\n" + RED3, "=o=\n-o-\nend\n"), {"\tError! Line 10: Expected 'end'.", "\tLine 10: '-o-'"}},
      {robust("frames 2\n" + RED3, "=o=\nend\n-o-\n"), {"\tError! Line 11: No more frame data before 'end'."}},
      {robust("frames 1\nwidth 3\nheight 0\n", "end\n"), {error + "No frame data to add."}},
      {robust("frames 1\nwidth -3\nheight 1\n", "abc\nend\n"), {"\tError! Line 8: Line length is 3 (frame width is -3)."}},
      {robust("frames 3\n" + RED3, "=o=\nend\n-o-\nend\n"), {"\tError! Line 11: No more frame data before 'end'.",
                                                            error + "No frame data to add."}},
      {robust("frames 1\n" + RED3, "=o=\nend\n-o-\nend\n"), {error + "Extra BODY:", "\tLine 12: -o-", "\tLine 13: end"}},
      {robust("frames 0\nwidth 3\nheight 1\n", "=o=\nend\n"), {error + "Extra BODY:"}},
      {robust("frames -4\nwidth 3\nheight 1\n", "=o=\nend\n"),
       {"Sprite::Sprite(): Error! Unable to allocate -4 frames.", error + "Extra BODY:"}},
      // Nothing is set aside for frames the body does not have.
      {robust("frames 2000000000\nwidth 3\nheight 1\n", "=o=\nend\n"), {"\tError! Line 9: No more frame data before 'end'."}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(load(c.text), -1) << c.text;
    EXPECT_TRUE(logged(c.logged)) << c.text;
  }
  EXPECT_FALSE(zvtest::logContains("Unable to allocate 2000000000"));
  EXPECT_EQ(rm.loadSprite("no-such-file.txt", "gone"), -1);
  EXPECT_TRUE(zvtest::logContains("RM::loadSprite(): Error! Cannot open file 'no-such-file.txt'."));
  EXPECT_TRUE(zvtest::logContains("RM::loadSprite(): Sprite 'gone' not loaded."));
  mkdir("a-folder", 0700);
  EXPECT_EQ(rm.loadSprite("a-folder", "folder"), -1);
  EXPECT_EQ(rm.getSpriteCount(), 1);
}

TEST_F(SpriteFiles, LookupIsExactFirstComesFirstAndAtMostOneThousand) {
  ASSERT_EQ(load("1\n1\n1\n0\nred\nA\n", "twin"), 0);
  ASSERT_EQ(load("1\n1\n1\n0\ngreen\nB\n", "twin"), 0);
  EXPECT_EQ(rm.getSprite("twin")->getColor(), zv::RED);
  EXPECT_TRUE(!rm.getSprite("Twin") && !rm.getSprite("twin ") && !rm.getSprite(""));
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
