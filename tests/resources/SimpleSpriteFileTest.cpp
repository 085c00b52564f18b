#include <fstream>

#include "SpriteFileFixture.h"
#include "resources/SpriteFile.h"

namespace {
std::string simple(const std::string& header, const std::string& rows) { return header + rows; }
const char* const HEADER = "2\n3\n1\n4\nred\n";
} // namespace

TEST_F(SpriteFiles, SimpleFileLoads) {
  ASSERT_EQ(load(simple(HEADER, "=o=\n-o-\n"), "ship"), 0);
  zv::Sprite* p_s = rm.getSprite("ship");
  ASSERT_NE(p_s, nullptr);
  EXPECT_EQ(p_s->getLabel(), "ship");
  EXPECT_EQ(p_s->getFrameCount(), 2);
  EXPECT_EQ(p_s->getWidth(), 3);
  EXPECT_EQ(p_s->getHeight(), 1);
  EXPECT_EQ(p_s->getSlowdown(), 4);
  EXPECT_EQ(p_s->getColor(), zv::RED);
  EXPECT_EQ(p_s->getTransparency(), 0);
  EXPECT_EQ(p_s->getFrame(0).getString(), "=o=");
  EXPECT_EQ(p_s->getFrame(1).getString(), "-o-");
  EXPECT_TRUE(logged({"RM::loadSprite(): Loading sprite 'sprite.txt'.",
                      "RM::loadSprite(): assuming simple sprite file format.", "RM::loadSprite(): Sprite 'ship' loaded."}));
}

TEST_F(SpriteFiles, SimpleHeaderNumbersTakeLeadingDigits) {
  ASSERT_EQ(load("2 frames\n2\n2\n0 steps\nwhite\nab\ncd\nef\ngh\n"), 0);
  zv::Sprite* p_s = rm.getSprite("s");
  EXPECT_EQ(p_s->getFrameCount(), 2);
  EXPECT_EQ(p_s->getSlowdown(), 0);
  EXPECT_EQ(p_s->getFrame(1).getString(), "efgh");
}

TEST_F(SpriteFiles, SimpleCrLfReadsLikeLf) {
  ASSERT_EQ(load("1\r\n3\r\n2\r\n1\r\ncyan\r\nabc\r\ndef\r\n"), 0);
  zv::Sprite* p_s = rm.getSprite("s");
  EXPECT_EQ(p_s->getColor(), zv::CYAN);
  EXPECT_EQ(p_s->getFrame(0).getString(), "abcdef");
}

TEST_F(SpriteFiles, SimpleMissingHeaderLines) {
  const char* const missing[] = {"\tMissing frames (an integer).", "\tMissing width (an integer).",
                                 "\tMissing height (an integer).", "\tMissing slowdown (an integer).",
                                 "\tMissing color (a string)."};
  const std::string full = "1\n1\n1\n1\nred\n";
  std::string::size_type cut = full.find('\n') + 1;
  for (int line = 1; line < 5; line++) {
    SCOPED_TRACE(line);
    EXPECT_EQ(load(full.substr(0, cut)), -1);
    EXPECT_TRUE(logged({"getLine(): Error! Unexpected end of file.",
                        "RM::loadSimpleSprite(): Error! Unexpected end of file.", missing[line],
                        "RM::loadSprite(): Sprite 's' NOT loaded."}));
    cut = full.find('\n', cut) + 1;
  }
  // A blank header line is missing data too.
  EXPECT_EQ(load("1\n1\n\n1\nred\nx\n"), -1);
  EXPECT_TRUE(logged({"RM::loadSimpleSprite(): Error! Unexpected end of file.", "\tMissing height (an integer)."}));

  // The frame count is never missing through loadSprite (the format is told by it); the reader alone:
  zvtest::writeFile("empty.txt", "");
  std::ifstream empty("empty.txt");
  EXPECT_EQ(zv::loadSimpleSprite(&empty), nullptr);
  EXPECT_TRUE(zvtest::logContains("\tMissing frames (an integer)."));
}

TEST_F(SpriteFiles, SimpleHeaderValuesOutOfRange) {
  EXPECT_EQ(load("1\n0\n1\n1\nred\nx\n"), -1);
  EXPECT_TRUE(logged({"RM::loadSimpleSprite(): Error line 2! Width is '0'."}));
  EXPECT_EQ(load("1\nwide\n1\n1\nred\nx\n"), -1);
  EXPECT_TRUE(logged({"RM::loadSimpleSprite(): Error line 2! Width is 'wide'."}));
  EXPECT_EQ(load("1\n1\n-2\n1\nred\nx\n"), -1);
  EXPECT_TRUE(logged({"RM::loadSimpleSprite(): Error line 3! Height is '-2'."}));
  EXPECT_EQ(load("1\n1\n1\n-1\nred\nx\n"), -1);
  EXPECT_TRUE(logged({"RM::loadSimpleSprite(): Error line 4! Slowdown is '-1'."}));
  EXPECT_EQ(load("1\n1\n1\n0\nred\nx\n"), 0);
}

TEST_F(SpriteFiles, SimpleUnknownColours) {
  for (const char* colour : {"Red", "purple", "default", "red "}) {
    SCOPED_TRACE(colour);
    EXPECT_EQ(load(std::string("1\n1\n1\n1\n") + colour + "\nx\n"), -1);
    EXPECT_TRUE(logged({std::string("RM::loadSimpleSprite(): Error line 5! Unrecognized color '") + colour + "'.",
                        "  Valid colors are: black, red, green, yellow,",
                        "                    blue, magenta, cyan or white."}));
  }
  const char* const names[] = {"black", "red", "green", "yellow", "blue", "magenta", "cyan", "white"};
  for (int c = 0; c < 8; c++) {
    ASSERT_EQ(load(std::string("1\n1\n1\n1\n") + names[c] + "\nx\n", names[c]), 0);
    EXPECT_EQ(rm.getSprite(names[c])->getColor(), static_cast<zv::Color>(c));
  }
}

TEST_F(SpriteFiles, SimpleRowOfTheWrongWidth) {
  EXPECT_EQ(load(simple(HEADER, "=o=\n-o\n")), -1);
  EXPECT_TRUE(logged({"RM::loadSimpleSprite(): Error line 7!", "\tLine  7: '-o'", "\tWidth is 2, expected 3.",
                      "RM::loadSprite(): Sprite 's' NOT loaded."}));
  EXPECT_EQ(load(simple(HEADER, "=o=\n-o-o\n")), -1);
  EXPECT_TRUE(logged({"\tWidth is 4, expected 3."}));
}

TEST_F(SpriteFiles, SimpleDataRunsOut) {
  EXPECT_EQ(load(simple(HEADER, "=o=\n")), -1);
  EXPECT_TRUE(logged({"RM::loadSimpleSprite(): Error! Unexpected end of file.", "\tReading frame 2 of 2, row 1 of 1."}));
  // A blank line where a row should be.
  EXPECT_EQ(load(simple(HEADER, "=o=\n\n-o-\n")), -1);
  EXPECT_TRUE(logged({"\tReading frame 2 of 2, row 1 of 1."}));
}

TEST_F(SpriteFiles, SimpleFileMustEndAfterTheLastFrame) {
  EXPECT_EQ(load(simple(HEADER, "=o=\n-o-\n\n")), -1);
  EXPECT_TRUE(logged({"RM::loadSimpleSprite(): Error line 8!", "\tExtra file data: ''"}));
  EXPECT_EQ(load(simple(HEADER, "=o=\n-o-\n\r\n")), -1);
  EXPECT_TRUE(logged({"\tExtra file data: ''"}));
  EXPECT_EQ(load(simple(HEADER, "=o=\n-o-\n*o*\n")), -1);
  EXPECT_TRUE(logged({"RM::loadSimpleSprite(): Error line 8!", "\tExtra file data: '*o*'"}));
  // Extra text without its own newline is still extra.
  EXPECT_EQ(load(simple(HEADER, "=o=\n-o-\nz")), -1);
  EXPECT_TRUE(logged({"\tExtra file data: 'z'"}));
  EXPECT_EQ(load(simple(HEADER, "=o=\n-o-\n")), 0);
}

TEST_F(SpriteFiles, SimpleLastLineNeedsItsNewline) {
  EXPECT_EQ(load(simple(HEADER, "=o=\n-o-")), -1);
  EXPECT_TRUE(logged({"getLine(): Error! Unexpected end of file.",
                      "RM::loadSimpleSprite(): Error! Unexpected end of file.", "\tReading frame 2 of 2, row 1 of 1."}));
}

TEST_F(SpriteFiles, SimpleSizesCostOnlyWhatTheFileHolds) {
  EXPECT_EQ(load("2147483647\n1\n1\n1\nred\nx\n"), -1);
  EXPECT_TRUE(logged({"\tReading frame 2 of 2147483647, row 1 of 1."}));
  std::string tall;
  for (int i = 0; i < 1200; i++)
    tall += "x\n";
  EXPECT_EQ(load("1\n1\n1200\n0\nred\n" + tall, "tall"), 0);
  EXPECT_EQ(rm.getSprite("tall")->getHeight(), 1200);
}
