#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Config.h"
#include "core/LogManager.h"

using zv::Config;

namespace {
void loadText(std::string text) {
  Config::getInstance().reset();
  Config::getInstance().loadConfig(text);
}
void loadFile(const std::string& content) {
  zvtest::writeFile("zv-config.txt", content);
  Config::getInstance().reset();
  std::string empty;
  Config::getInstance().loadConfig(empty);
}
} // namespace

TEST(Config, DefaultsWithoutAFile) {
  loadFile("");
  std::remove("zv-config.txt");
  Config& c = Config::getInstance();
  std::string empty;
  c.loadConfig(empty);
  EXPECT_EQ(c.getWindowHorizontalPixels(), 1024);
  EXPECT_EQ(c.getWindowVerticalPixels(), 768);
  EXPECT_EQ(c.getWindowHorizontalChars(), 80);
  EXPECT_EQ(c.getWindowVerticalChars(), 24);
  EXPECT_EQ(c.getWindowBackgroundColor(), 0);
  EXPECT_EQ(c.getFrameTime(), 33);
  EXPECT_EQ(c.getWindowStyle(), 5);
  EXPECT_EQ(c.getWindowTitle(), "Zelvra");
  EXPECT_FALSE(c.getShowMouse());
  EXPECT_FALSE(c.getHeadless());
  EXPECT_EQ(c.getFontFile(), "zv-font.ttf");
  EXPECT_EQ(c.getLogFile(), "zelvra.log");
  EXPECT_EQ(c.getRandomSeed(), 0);
  EXPECT_FALSE(c.getNetworking());
  EXPECT_FLOAT_EQ(c.getFontScale(), 2.0f);
  EXPECT_EQ(c.getQuadtreeThreshold(), 1);
  EXPECT_EQ(c.getQuadtreeDepth(), 10);
  EXPECT_EQ(c.getGridWidth(), 20);
  EXPECT_EQ(c.getGridHeight(), 8);
}

TEST(Config, EverySettingIsRead) {
  loadText("window_horizontal_pixels:800,window_vertical_pixels:600,window_horizontal_chars:40,"
           "window_vertical_chars:20,window_background_color:blue,frame_time:20,font_scale:1.5,"
           "window_title:Race,show_mouse:true,headless:true,font_file:f.ttf,logfile:l.log,"
           "random_seed:7,networking:true,window_style:fullscreen,quadtree_threshold:3,"
           "quadtree_depth:4,grid_width:5,grid_height:6,");
  Config& c = Config::getInstance();
  EXPECT_EQ(c.getWindowHorizontalPixels(), 800);
  EXPECT_EQ(c.getWindowVerticalPixels(), 600);
  EXPECT_EQ(c.getWindowHorizontalChars(), 40);
  EXPECT_EQ(c.getWindowVerticalChars(), 20);
  EXPECT_EQ(c.getWindowBackgroundColor(), 4);
  EXPECT_EQ(c.getFrameTime(), 20);
  EXPECT_FLOAT_EQ(c.getFontScale(), 1.5f);
  EXPECT_EQ(c.getWindowTitle(), "Race");
  EXPECT_TRUE(c.getShowMouse());
  EXPECT_TRUE(c.getHeadless());
  EXPECT_EQ(c.getFontFile(), "f.ttf");
  EXPECT_EQ(c.getLogFile(), "l.log");
  EXPECT_EQ(c.getRandomSeed(), 7);
  EXPECT_TRUE(c.getNetworking());
  EXPECT_EQ(c.getWindowStyle(), 8);
  EXPECT_EQ(c.getQuadtreeThreshold(), 3);
  EXPECT_EQ(c.getQuadtreeDepth(), 4);
  EXPECT_EQ(c.getGridWidth(), 5);
  EXPECT_EQ(c.getGridHeight(), 6);
  EXPECT_EQ(c.getConfigText().substr(0, 26), "window_horizontal_pixels:8");
}

TEST(Config, FileLinesJoinWithoutSeparator) {
  // The first line lacks its comma, so the next entry is swallowed into its value.
  loadFile("frame_time:33\nfont_scale:1,\n");
  EXPECT_EQ(Config::getInstance().getFrameTime(), 33);
  EXPECT_FLOAT_EQ(Config::getInstance().getFontScale(), 2.0f);
}

TEST(Config, CommentsOnlyInTheFirstColumnAndCrRemoved) {
  loadFile("# frame_time:10,\r\n #frame_time:11,\r\n\r\nframe_time:12,\r\nwindow_title:A,\r\n");
  EXPECT_EQ(Config::getInstance().getFrameTime(), 12);
  EXPECT_EQ(Config::getInstance().getWindowTitle(), "A");
  EXPECT_EQ(Config::getInstance().getConfigText(), " #frame_time:11,frame_time:12,window_title:A,");
}

TEST(Config, TitleLosesWhiteSpaceAndStopsAtColon) {
  loadText("window_title:My Game,");
  EXPECT_EQ(Config::getInstance().getWindowTitle(), "MyGame");
  loadText("window_title:Part:Two,");
  EXPECT_EQ(Config::getInstance().getWindowTitle(), "Part");
}

TEST(Config, FirstOfTwoKeysWins) {
  loadText("frame_time:10,frame_time:20,");
  EXPECT_EQ(Config::getInstance().getFrameTime(), 10);
}

TEST(Config, ConversionsOfOddValues) {
  loadText("networking:yes,headless:True,show_mouse:true,frame_time:,");
  EXPECT_FALSE(Config::getInstance().getNetworking());
  EXPECT_FALSE(Config::getInstance().getHeadless());
  EXPECT_TRUE(Config::getInstance().getShowMouse());
  EXPECT_EQ(Config::getInstance().getFrameTime(), 33);  // empty value ignored
}

TEST(Config, NumbersOutsideTheirRangeAreReportedAndIgnored) {
  loadText("window_horizontal_pixels:16384,window_vertical_pixels:1,window_horizontal_chars:1000,"
           "frame_time:0,font_scale:10,random_seed:-1,");
  EXPECT_TRUE(Config::getInstance().getErrors().empty());
  EXPECT_EQ(Config::getInstance().getWindowHorizontalPixels(), 16384);

  const char* const refused[][3] = {
      {"window_horizontal_pixels", "65536", "from 1 to 16384"}, {"window_vertical_pixels", "0", "from 1 to 16384"},
      {"window_horizontal_pixels", "wide", "from 1 to 16384"},  {"window_horizontal_chars", "1001", "from 1 to 1000"},
      {"window_vertical_chars", "-3", "from 1 to 1000"},        {"frame_time", "2147483647", "from 0 to 1000"},
      {"frame_time", "33ms", "from 0 to 1000"},                 {"random_seed", "99999999999", "from -2147483648"},
      {"font_scale", "0", "above 0 and at most 10"},           {"font_scale", "nan", "above 0 and at most 10"},
  };
  for (const auto& row : refused) {
    loadText(std::string(row[0]) + ":" + row[1] + ",");
    std::string line = std::string("Config::loadConfig(): Error! ") + row[0] + " is '" + row[1] + "', not a number ";
    ASSERT_EQ(Config::getInstance().getErrors().size(), 1u) << row[0] << ":" << row[1];
    EXPECT_EQ(Config::getInstance().getErrors()[0].find(line + row[2]), 0u) << Config::getInstance().getErrors()[0];
  }
  EXPECT_FLOAT_EQ(Config::getInstance().getFontScale(), 2.0f);  // refused values leave the setting
}

TEST(Config, UnsupportedColorAndStyleAreReportedAndIgnored) {
  testing::internal::CaptureStderr();
  loadText("window_background_color:Red,window_style:windowed,");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(Config::getInstance().getWindowBackgroundColor(), 0);
  EXPECT_EQ(Config::getInstance().getWindowStyle(), 5);
  EXPECT_NE(err.find("loadConfig(): Unsupported window color 'Red'"), std::string::npos);
  EXPECT_NE(err.find("loadConfig(): Unsupported window style 'windowed'"), std::string::npos);
  loadText("window_background_color:white,window_style:default,");
  EXPECT_EQ(Config::getInstance().getWindowBackgroundColor(), 7);
}

TEST(Config, EnvironmentNamesTheFile) {
  zvtest::writeFile("mine.txt", "frame_time:44,");
  setenv("ZELVRA_CONFIG", "mine.txt", 1);
  loadFile("frame_time:55,");
  EXPECT_EQ(Config::getInstance().getFrameTime(), 44);
  setenv("ZELVRA_CONFIG", "missing.txt", 1);
  loadFile("frame_time:55,");
  EXPECT_EQ(Config::getInstance().getFrameTime(), 33);
}

TEST(Config, BinaryAndFolderFilesLeaveDefaults) {
  std::string binary("\x00\x01\xff\xfe:,,::\x00frame_time", 20);
  loadFile(binary);
  EXPECT_EQ(Config::getInstance().getFrameTime(), 33);
  EXPECT_EQ(Config::getInstance().getWindowHorizontalPixels(), 1024);
  setenv("ZELVRA_CONFIG", ".", 1);
  loadFile("");
  EXPECT_EQ(Config::getInstance().getFrameTime(), 33);
}

TEST(Config, WriteConfigPrintsTheSettingsInOrder) {
  zv::LogManager& log = zv::LogManager::getInstance();
  log.setLogLevel(1);
  log.startUp();
  loadText("window_title:Race,networking:true,");
  Config::getInstance().writeConfig();
  log.shutDown();
  std::vector<std::string> lines = zvtest::logMessages();
  const std::vector<std::string> expected = {
      "-----------------------------------",
      "Zelvra configuration:",
      "  Window horizontal pixels: 1024",
      "  Window vertical pixels: 768",
      "  Window horizontal characters: 80",
      "  Window vertical characters: 24",
      "  Window background color: 0",
      "  Frame time: 33",
      "  Window style: default",
      "  Window title: Race",
      "  Show mouse: false",
      "  Headless: false",
      "  Font file: zv-font.ttf",
      "  Log file: zelvra.log",
      "  Random seed: 0",
      "  Networking: true",
      "  Scene graph: simple",
      "-----------------------------------",
  };
  ASSERT_GE(lines.size(), expected.size());
  std::vector<std::string> printed(lines.end() - static_cast<long>(expected.size()), lines.end());
  EXPECT_EQ(printed, expected);
}
