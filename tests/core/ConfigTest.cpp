#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Config.h"
#include "core/LogManager.h"

using zv::Config;

namespace {
Config& loadText(std::string text) {
  Config::getInstance().reset();
  Config::getInstance().loadConfig(text);
  return Config::getInstance();
}
Config& loadFile(const std::string& content) {
  zvtest::writeFile("zv-config.txt", content);
  return loadText("");
}
} // namespace

TEST(Config, EverySettingIsRead) {
  Config& c = loadText("window_horizontal_pixels:800,window_vertical_pixels:600,window_horizontal_chars:40,"
                       "window_vertical_chars:20,window_background_color:blue,frame_time:20,font_scale:1.5,"
                       "window_title:Race,show_mouse:true,headless:true,font_file:f.ttf,logfile:l.log,"
                       "random_seed:7,networking:true,window_style:fullscreen,quadtree_threshold:3,"
                       "quadtree_depth:4,grid_width:5,grid_height:6,");
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
}

TEST(Config, FileLinesCommentsAndOddValues) {
  Config& c = loadFile("# frame_time:10,\r\n #frame_time:11,\r\n\r\nframe_time:12,\r\nwindow_title:A,\r\n");
  EXPECT_EQ(c.getFrameTime(), 12);
  EXPECT_EQ(c.getWindowTitle(), "A");
  // Comments only in the first column.
  EXPECT_EQ(c.getConfigText(), " #frame_time:11,frame_time:12,window_title:A,");
  // A line without its comma swallows the next entry into its value.
  EXPECT_FLOAT_EQ(loadFile("frame_time:33\nfont_scale:1,\n").getFontScale(), 2.0f);
  EXPECT_EQ(loadText("window_title:My Game,").getWindowTitle(), "MyGame");
  EXPECT_EQ(loadText("window_title:Part:Two,").getWindowTitle(), "Part");
  EXPECT_EQ(loadText("frame_time:10,frame_time:20,").getFrameTime(), 10);  // the first wins
  loadText("networking:yes,headless:True,show_mouse:true,frame_time:,");
  EXPECT_FALSE(c.getNetworking());
  EXPECT_FALSE(c.getHeadless());
  EXPECT_TRUE(c.getShowMouse());
  EXPECT_EQ(c.getFrameTime(), 33);  // an empty value is ignored
}

TEST(Config, NumbersAreCheckedAgainstTheirRange) {
  const struct {
    const char* key;
    const char* value;
    const char* refused_as;  // nullptr: accepted
  } cases[] = {
      {"window_horizontal_pixels", "16384", nullptr}, {"window_horizontal_pixels", "16385", "from 1 to 16384."},
      {"window_vertical_pixels", "1", nullptr},       {"window_vertical_pixels", "0", "from 1 to 16384."},
      {"window_horizontal_pixels", "wide", "from 1 to 16384."},
      {"window_horizontal_chars", "1000", nullptr},   {"window_horizontal_chars", "1001", "from 1 to 1000."},
      {"window_vertical_chars", "1", nullptr},        {"window_vertical_chars", "-3", "from 1 to 1000."},
      {"frame_time", "0", nullptr},                   {"frame_time", "1000", nullptr},
      {"frame_time", "-1", "from 0 to 1000."},        {"frame_time", "2147483647", "from 0 to 1000."},
      {"frame_time", "33ms", "from 0 to 1000."},      {"random_seed", "-1", nullptr},
      {"random_seed", "99999999999", "from -2147483648 to 2147483647."},
      {"font_scale", "10", nullptr},                  {"font_scale", "0.01", nullptr},
      {"font_scale", "10.01", "above 0 and at most 10."}, {"font_scale", "0", "above 0 and at most 10."},
      {"font_scale", "nan", "above 0 and at most 10."},   {"font_scale", "1.5x", "above 0 and at most 10."},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(std::string(row.key) + ":" + row.value);
    Config& c = loadText(std::string(row.key) + ":" + row.value + ",");
    if (!row.refused_as) {
      EXPECT_TRUE(c.getErrors().empty());
      continue;
    }
    ASSERT_EQ(c.getErrors().size(), 1u);
    EXPECT_EQ(c.getErrors()[0], std::string("Config::loadConfig(): Error! ") + row.key + " is '" + row.value +
                                    "', not a number " + row.refused_as);
    EXPECT_FLOAT_EQ(c.getFontScale(), 2.0f);  // a refused value leaves the setting
    EXPECT_EQ(c.getFrameTime(), 33);
  }
}

TEST(Config, UnsupportedColorAndStyleAreReportedAndIgnored) {
  testing::internal::CaptureStderr();
  Config& c = loadText("window_background_color:Red,window_style:windowed,");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(c.getWindowBackgroundColor(), 0);
  EXPECT_EQ(c.getWindowStyle(), 5);
  EXPECT_NE(err.find("loadConfig(): Unsupported window color 'Red'"), std::string::npos);
  EXPECT_NE(err.find("loadConfig(): Unsupported window style 'windowed'"), std::string::npos);
  loadText("window_background_color:white,window_style:default,");
  EXPECT_EQ(c.getWindowBackgroundColor(), 7);
}

TEST(Config, EnvironmentNamesTheFileAndBadFilesLeaveDefaults) {
  zvtest::writeFile("mine.txt", "frame_time:44,");
  setenv("ZELVRA_CONFIG", "mine.txt", 1);
  EXPECT_EQ(loadFile("frame_time:55,").getFrameTime(), 44);
  setenv("ZELVRA_CONFIG", "missing.txt", 1);
  EXPECT_EQ(loadFile("frame_time:55,").getFrameTime(), 33);
  setenv("ZELVRA_CONFIG", ".", 1);
  EXPECT_EQ(loadFile("frame_time:55,").getFrameTime(), 33);
  unsetenv("ZELVRA_CONFIG");
  Config& c = loadFile(std::string("\x00\x01\xff\xfe:,,::\x00frame_time", 20));
  EXPECT_EQ(c.getFrameTime(), 33);
  EXPECT_EQ(c.getWindowHorizontalPixels(), 1024);
}

TEST(Config, WriteConfigPrintsTheSettingsInOrder) {
  zv::LogManager& log = zv::LogManager::getInstance();
  log.setLogLevel(1);
  log.startUp();
  loadText("window_title:Race,networking:true,").writeConfig();
  log.shutDown();
  std::vector<std::string> lines = zvtest::logMessages();
  const std::vector<std::string> expected = {
      "-----------------------------------", "Zelvra configuration:", "  Window horizontal pixels: 1024",
      "  Window vertical pixels: 768", "  Window horizontal characters: 80", "  Window vertical characters: 24",
      "  Window background color: 0", "  Frame time: 33", "  Window style: default", "  Window title: Race",
      "  Show mouse: false", "  Headless: false", "  Font file: zv-font.ttf", "  Log file: zelvra.log",
      "  Random seed: 0", "  Networking: true", "  Scene graph: simple", "-----------------------------------",
  };
  ASSERT_GE(lines.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<long>(expected.size()), lines.end()), expected);
}
