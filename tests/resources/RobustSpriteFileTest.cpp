#include <fstream>

#include "SpriteFileFixture.h"
#include "resources/SpriteFile.h"

using zv::SpriteLines;

TEST_F(SpriteFiles, RobustExampleLoads) {
  zv::LogManager::getInstance().setLogLevel(5);
  ASSERT_EQ(load(example(), "ship"), 0);
  zv::Sprite* p_s = rm.getSprite("ship");
  ASSERT_NE(p_s, nullptr);
  EXPECT_EQ(p_s->getFrameCount(), 2);
  EXPECT_EQ(p_s->getWidth(), 3);
  EXPECT_EQ(p_s->getHeight(), 1);
  EXPECT_EQ(p_s->getColor(), zv::RED);
  // No slowdown line: 0, so the sprite advances every step.
  EXPECT_EQ(p_s->getSlowdown(), 0);
  EXPECT_EQ(p_s->getTransparency(), 0);
  EXPECT_EQ(p_s->getFrame(1).getString(), "-o-");
  EXPECT_TRUE(logged({"RM::loadSprite(): assuming robust sprite file format.",
                      "RM::loadRobustSprite(): Note! No 'transparency' in header.",
                      "RM::loadRobustSprite(): Note! No 'slowdown' in header.", "\t      Frames: 2", "\t       Width: 3",
                      "\t      Height: 1", "\t    Slowdown: 0", "\tTransparency: (none)", "\t       Color: Red",
                      "RM::loadSprite(): Sprite 'ship' loaded."}));
  EXPECT_EQ(zv::getSpriteLineCount(), 15);
}

TEST_F(SpriteFiles, RobustCrLfAndTrailingTextAreFine) {
  std::string text = example();
  std::string crlf;
  for (char c : text)
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ASSERT_EQ(load(crlf, "crlf"), 0);
  EXPECT_EQ(rm.getSprite("crlf")->getFrame(0).getString(), "=o=");
  EXPECT_EQ(rm.getSprite("crlf")->getColor(), zv::RED);
  // Nothing after the footer is read.
  ASSERT_EQ(load(example() + "anything\n\nat all", "tail"), 0);
}

TEST_F(SpriteFiles, RobustHeaderKeys) {
  zv::LogManager::getInstance().setLogLevel(5);
  // Keys in any order, a repeated key warns once and the later value wins.
  ASSERT_EQ(load(robust("height 1\nframes 3\nwidth 1\nframes 1\nslowdown 7\ntransparency #\n", "#\nend\n"), "a"), 0);
  EXPECT_TRUE(logged({"matchLineInt(): Warning! 'frames 1' matches multiple lines."}));
  EXPECT_EQ(rm.getSprite("a")->getFrameCount(), 1);
  EXPECT_EQ(rm.getSprite("a")->getSlowdown(), 7);
  EXPECT_EQ(rm.getSprite("a")->getTransparency(), '#');
  EXPECT_TRUE(logged({"\tTransparency: #"}));

  // A misspelt key is unused and the colour falls back to white.
  ASSERT_EQ(load(robust("frames 1\nwidth 1\nheight 1\ncolour red\n", "x\nend\n"), "b"), 0);
  EXPECT_TRUE(logged({"RM::loadRobustSprite(): Warning! No 'color' in header.",
                      "RM::loadRobustSprite(): Warning! Unused HEADER lines:", "\t'colour red'"}));
  EXPECT_EQ(rm.getSprite("b")->getColor(), zv::WHITE);

  // "default" is white; a transparency line that ends at its separator has no value.
  ASSERT_EQ(load(robust("frames 1\nwidth 1\nheight 1\ncolor default\ntransparency \n", "x\nend\n"), "c"), 0);
  EXPECT_EQ(rm.getSprite("c")->getColor(), zv::WHITE);
  EXPECT_EQ(rm.getSprite("c")->getTransparency(), 0);
  // A space after the separator is the transparent character.
  ASSERT_EQ(load(robust("frames 1\nwidth 2\nheight 1\ntransparency  \n", "x \nend\n"), "d"), 0);
  EXPECT_EQ(rm.getSprite("d")->getTransparency(), ' ');
}

TEST_F(SpriteFiles, RobustBareKeyLineHasNoValue) {
  zv::LogManager::getInstance().setLogLevel(5);
  // Taken out of the header (not "unused") and read as absent.
  ASSERT_EQ(load(robust("frames 1\nwidth 1\nheight 1\nslowdown\ntransparency\ncolor\n", "x\nend\n"), "bare"), 0);
  zv::Sprite* p_s = rm.getSprite("bare");
  EXPECT_EQ(p_s->getSlowdown(), 0);
  EXPECT_EQ(p_s->getTransparency(), 0);
  EXPECT_EQ(p_s->getColor(), zv::WHITE);
  EXPECT_FALSE(mentions("Unused HEADER lines"));
  EXPECT_TRUE(logged({"RM::loadRobustSprite(): Warning! No 'color' in header.",
                      "RM::loadRobustSprite(): Note! No 'transparency' in header.",
                      "RM::loadRobustSprite(): Note! No 'slowdown' in header."}));
  // A required key given bare is missing.
  EXPECT_EQ(load(robust("frames 1\nwidth\nheight 1\n", "x\nend\n")), -1);
  EXPECT_TRUE(logged({"RM::loadRobustSprite(): Error! Missing 'width' in header."}));
  EXPECT_EQ(load(robust("frames 1\nwidth 1\nheight 1\n", "x\nend\n", "version\n")), -1);
  EXPECT_TRUE(mentions("RM::loadRobustSprite(): Error! Missing 'version' in FOOTER"));
}

TEST_F(SpriteFiles, RobustMissingRequiredKeys) {
  for (const char* key : {"frames", "width", "height"}) {
    SCOPED_TRACE(key);
    std::string header;
    for (const char* k : {"frames", "width", "height"})
      if (std::string(k) != key)
        header += std::string(k) + " 1\n";
    EXPECT_EQ(load(robust(header, "x\nend\n")), -1);
    EXPECT_TRUE(logged({std::string("RM::loadRobustSprite(): Error! Missing '") + key + "' in header.",
                        "RM::loadSprite(): Sprite 's' NOT loaded."}));
  }
  // The first missing one is named.
  EXPECT_EQ(load(robust("color red\n", "x\nend\n")), -1);
  EXPECT_TRUE(logged({"RM::loadRobustSprite(): Error! Missing 'frames' in header."}));
  EXPECT_FALSE(mentions("Missing 'width'"));
}

TEST_F(SpriteFiles, RobustUnknownColour) {
  EXPECT_EQ(load(robust("frames 1\nwidth 1\nheight 1\ncolor Red\n", "x\nend\n")), -1);
  EXPECT_TRUE(logged({"RM::loadRobustSprite(): Error! Unrecognized color 'Red'.",
                      "  Valid colors are: black, red, green, yellow,",
                      "                    blue, magenta, cyan and white."}));
}

TEST_F(SpriteFiles, RobustSections) {
  // Line 7 should open the body.
  EXPECT_EQ(load("<HEADER>\nframes 1\nwidth 1\nheight 1\ncolor red\n</HEADER>\n<BDY>\nx\nend\n</BODY>\n"), -1);
  EXPECT_TRUE(logged({"readData(): Error line 7! Expected '<BODY>', have '<BDY>'.",
                      "RM::loadSprite(): Sprite 's' NOT loaded."}));
  // A blank line inside a section, or no closing tag before the end of the file.
  EXPECT_EQ(load("<HEADER>\nframes 1\n\nwidth 1\n</HEADER>\n"), -1);
  EXPECT_TRUE(logged({"readData(): Error! Never encountered '</HEADER>'."}));
  EXPECT_EQ(load("<HEADER>\nframes 1\nwidth 1\nheight 1\n</HEADER>\n<BODY>\nx\nend\n"), -1);
  EXPECT_TRUE(logged({"getLine(): Error! Unexpected end of file.", "readData(): Error! Never encountered '</BODY>'."}));
  // An empty section has nothing to read.
  EXPECT_EQ(load(robust("frames 1\nwidth 1\nheight 1\n", "")), -1);
  EXPECT_EQ(load(robust("frames 1\nwidth 1\nheight 1\n", "x\nend\n", "")), -1);
  // No footer at all.
  EXPECT_EQ(load("<HEADER>\nframes 1\nwidth 1\nheight 1\n</HEADER>\n<BODY>\nx\nend\n</BODY>\n"), -1);
  EXPECT_TRUE(logged({"getLine(): Error! Unexpected end of file.",
                      "readData(): Error line 9! Expected '<FOOTER>', have ''."}));
}

TEST_F(SpriteFiles, RobustLastLineNeedsItsNewline) {
  std::string text = example();
  text.pop_back();
  EXPECT_EQ(load(text), -1);
  EXPECT_TRUE(logged({"getLine(): Error! Unexpected end of file.", "readData(): Error! Never encountered '</FOOTER>'."}));
}

TEST_F(SpriteFiles, RobustFooter) {
  EXPECT_EQ(load(robust("frames 2\nwidth 3\nheight 1\ncolor red\n", "=o=\nend\n-o-\nend\n", "author me\n")), -1);
  EXPECT_TRUE(logged({"RM::loadRobustSprite(): Error! Missing 'version' in FOOTER (line 15)."}));
  ASSERT_EQ(load(robust("frames 1\nwidth 1\nheight 1\n", "x\nend\n", "version 2\nauthor me\n")), 0);
  EXPECT_TRUE(logged({"RM::loadRobustSprite(): Warning! Unused FOOTER lines:", "\t'author me'"}));
}

TEST_F(SpriteFiles, RobustFrameRows) {
  // Line numbers as the reader counts them: the first row of the body is reported as line 9.
  EXPECT_EQ(load(robust("frames 2\nwidth 3\nheight 1\ncolor red\n", "=o=\nend\n-o\nend\n")), -1);
  EXPECT_TRUE(logged({"\tError! Line 10: Line length is 2 (frame width is 3).", "\tLine 10: '-o'",
                      "RM::loadRobustSprite(): Error! No frame data to add.", "RM::loadSprite(): Sprite 's' NOT loaded."}));
  EXPECT_EQ(load(robust("frames 2\nwidth 3\nheight 1\ncolor red\n", "=o=\n-o-\nend\n")), -1);
  EXPECT_TRUE(logged({"\tError! Line 10: Expected 'end'.", "\tLine 10: '-o-'",
                      "RM::loadRobustSprite(): Error! No frame data to add."}));
  EXPECT_EQ(load(robust("frames 2\nwidth 3\nheight 1\ncolor red\n", "=o=\nend\n-o-\n")), -1);
  EXPECT_TRUE(logged({"\tError! Line 11: No more frame data before 'end'."}));
  // A height below 1 reads no rows and gives an empty frame.
  EXPECT_EQ(load(robust("frames 1\nwidth 3\nheight 0\n", "end\n")), -1);
  EXPECT_TRUE(logged({"RM::loadRobustSprite(): Error! No frame data to add."}));
  // A negative width never matches a row.
  EXPECT_EQ(load(robust("frames 1\nwidth -3\nheight 1\n", "abc\nend\n")), -1);
  EXPECT_TRUE(logged({"\tError! Line 8: Line length is 3 (frame width is -3)."}));
}

TEST_F(SpriteFiles, RobustFrameCountMustMatchTheBody) {
  // Fewer frames in the body than the header says.
  EXPECT_EQ(load(robust("frames 3\nwidth 3\nheight 1\ncolor red\n", "=o=\nend\n-o-\nend\n")), -1);
  EXPECT_TRUE(logged({"\tError! Line 11: No more frame data before 'end'.",
                      "RM::loadRobustSprite(): Error! No frame data to add."}));
  // More.
  EXPECT_EQ(load(robust("frames 1\nwidth 3\nheight 1\ncolor red\n", "=o=\nend\n-o-\nend\n")), -1);
  EXPECT_TRUE(logged({"RM::loadRobustSprite(): Error! Extra BODY:", "\tLine 12: -o-", "\tLine 13: end"}));
  // None.
  EXPECT_EQ(load(robust("frames 0\nwidth 3\nheight 1\n", "=o=\nend\n")), -1);
  EXPECT_TRUE(logged({"RM::loadRobustSprite(): Error! Extra BODY:"}));
  EXPECT_EQ(load(robust("frames -4\nwidth 3\nheight 1\n", "=o=\nend\n")), -1);
  EXPECT_TRUE(logged({"Sprite::Sprite(): Error! Unable to allocate -4 frames.",
                      "RM::loadRobustSprite(): Error! Extra BODY:"}));
}

TEST_F(SpriteFiles, RobustSizesCostOnlyWhatTheFileHolds) {
  // Nothing is set aside for frames the body does not have.
  EXPECT_EQ(load(robust("frames 2000000000\nwidth 3\nheight 1\n", "=o=\nend\n")), -1);
  EXPECT_TRUE(logged({"\tError! Line 9: No more frame data before 'end'.",
                      "RM::loadRobustSprite(): Error! No frame data to add."}));
  EXPECT_FALSE(mentions("Unable to allocate"));
  std::string wide(1500, '=');
  EXPECT_EQ(load(robust("frames 1\nwidth 1500\nheight 2\n", wide + "\n" + wide + "\nend\n"), "wide"), 0);
  EXPECT_EQ(rm.getSprite("wide")->getFrame(0).getString().size(), 3000u);
}

TEST_F(SpriteFiles, RobustNeedsTheExactHeaderTag) {
  EXPECT_EQ(load("<HEADER> \nframes 1\nwidth 1\nheight 1\n</HEADER>\n"), -1);
  EXPECT_TRUE(logged({"RM::loadSprite(): Error! Unknown sprite file format.", "RM::loadSprite(): First line is '<HEADER> '.",
                      "RM::loadSprite(): Sprite 's' NOT loaded."}));
  EXPECT_FALSE(mentions("assuming"));
}

TEST_F(SpriteFiles, LoadedFramesAreDumpedAtLevelFifteen) {
  zv::LogManager::getInstance().setLogLevel(15);
  ASSERT_EQ(load(robust("frames 2\nwidth 2\nheight 2\n", "ab\ncd\nend\nef\ngh\nend\n"), "two"), 0);
  EXPECT_TRUE(logged({"RM::loadSprite(): Sprite 'two' frames:", "\tFrame 1:", "\tab", "\tcd", "\tFrame 2:", "\tef",
                      "\tgh", "RM::loadSprite(): Sprite 'two' loaded."}));
}

TEST_F(SpriteFiles, BytesOutsideAsciiLoadWithAWarning) {
  ASSERT_EQ(load("1\n3\n1\n0\nred\n\xe9t\xe9\n", "accent"), 0);
  EXPECT_EQ(rm.getSprite("accent")->getFrame(0).getString(), "\xe9t\xe9");
  EXPECT_TRUE(logged({"RM::loadSprite(): Warning! Sprite 'accent' has 2 characters outside 7-bit ASCII, drawn as '?'."}));
  // UTF-8 takes two bytes a character, so the row is too wide.
  EXPECT_EQ(load("1\n3\n1\n0\nred\n\xc3\xa9t\xc3\xa9\n"), -1);
  EXPECT_TRUE(logged({"\tWidth is 5, expected 3."}));
}

TEST(SpriteLinesMatching, KeysArePrefixesAndTakenOut) {
  zv::LogManager::getInstance().startUp();
  zv::LogManager::getInstance().setLogLevel(1);
  SpriteLines lines = {"frames 2", "width 3", "framesx 9", "name ship"};
  EXPECT_EQ(zv::matchLineInt(&lines, "frames"), 9);
  EXPECT_EQ(lines, (SpriteLines{"width 3", "name ship"}));
  EXPECT_EQ(zv::matchLineInt(&lines, "height"), -1);
  EXPECT_EQ(zv::matchLineStr(&lines, "name"), "ship");
  EXPECT_EQ(zv::matchLineStr(&lines, "name"), "");
  EXPECT_EQ(lines, (SpriteLines{"width 3"}));

  // A bare key is taken out with no value, even after a real one.
  lines = {"slowdown 4", "slowdown", "color red", "color"};
  EXPECT_EQ(zv::matchLineInt(&lines, "slowdown"), -1);
  EXPECT_EQ(zv::matchLineStr(&lines, "color"), "");
  EXPECT_TRUE(lines.empty());

  // -1 and "" read as absent, so no warning follows them.
  lines = {"width -1", "width 5", "title ", "title x"};
  EXPECT_EQ(zv::matchLineInt(&lines, "width"), 5);
  EXPECT_EQ(zv::matchLineStr(&lines, "title"), "x");
  zv::LogManager::getInstance().shutDown();
  EXPECT_EQ(zvtest::logCount("matchLineInt(): Warning! 'framesx 9' matches multiple lines."), 1);
  EXPECT_EQ(zvtest::logCount("matchLineInt(): Warning! 'slowdown' matches multiple lines."), 1);
  EXPECT_EQ(zvtest::logCount("matchLineStr(): Warning! 'color' matches multiple lines."), 1);
  EXPECT_EQ(zvtest::logCount("matches multiple lines"), 3);
}

TEST(SpriteLinesMatching, ReadDataCountsEveryLine) {
  zv::LogManager::getInstance().startUp();
  zvtest::writeFile("sections.txt", "<A>\none\ntwo\n</A>\n<B>\n</B>\n");
  std::ifstream file("sections.txt");
  zv::setSpriteLineCount(0);
  EXPECT_EQ(zv::readData(&file, "A"), (SpriteLines{"one", "two"}));
  EXPECT_EQ(zv::getSpriteLineCount(), 4);
  EXPECT_TRUE(zv::readData(&file, "B").empty());
  EXPECT_EQ(zv::getSpriteLineCount(), 6);
  zv::LogManager::getInstance().shutDown();
}

TEST(SpriteLinesMatching, ReadFrameTakesRowsAndEnd) {
  zv::LogManager::getInstance().startUp();
  SpriteLines body = {"ab", "cd", "end", "ef", "gh", "end", "rest"};
  zv::Frame f = zv::readFrame(&body, 2, 2, 0);
  EXPECT_EQ(f.getString(), "abcd");
  EXPECT_EQ(f.getWidth(), 2);
  EXPECT_EQ(f.getHeight(), 2);
  EXPECT_EQ(zv::readFrame(&body, 2, 2, 3).getString(), "efgh");
  EXPECT_EQ(body, (SpriteLines{"rest"}));
  EXPECT_TRUE(zv::readFrame(&body, 3, 1, 6).getString().empty());
  EXPECT_EQ(body, (SpriteLines{"rest"}));
  SpriteLines no_end = {"abc"};
  EXPECT_TRUE(zv::readFrame(&no_end, 3, 1, 20).getString().empty());
  zv::LogManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("\tError! Line 7: Line length is 4 (frame width is 3)."));
  EXPECT_TRUE(zvtest::logContains("\tError! Line 22: No more frame data before 'end'."));
}
