#include <cstdlib>
#include <functional>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include <zelvra/core/Config.h>
#include <zelvra/core/LogManager.h>

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
  EXPECT_EQ(std::vector<int>({c.getWindowHorizontalPixels(), c.getWindowVerticalPixels(), c.getWindowHorizontalChars(),
                              c.getWindowVerticalChars(), c.getWindowBackgroundColor(), c.getFrameTime(),
                              c.getRandomSeed(), c.getWindowStyle(), c.getQuadtreeThreshold(), c.getQuadtreeDepth(),
                              c.getGridWidth(), c.getGridHeight(), c.getShowMouse(), c.getHeadless(), c.getNetworking()}),
            std::vector<int>({800, 600, 40, 20, 4, 20, 7, 8, 3, 4, 5, 6, 1, 1, 1}));
  EXPECT_EQ(std::vector<std::string>({c.getWindowTitle(), c.getFontFile(), c.getLogFile()}),
            std::vector<std::string>({"Race", "f.ttf", "l.log"}));
  EXPECT_FLOAT_EQ(c.getFontScale(), 1.5f);
}

TEST(Config, FileLinesCommentsAndOddValues) {
  Config& c = loadFile("# frame_time:10,\r\n #frame_time:11,\r\n\r\nframe_time:12,\r\nwindow_title:A,\r\n");
  EXPECT_EQ(c.getFrameTime(), 12);
  EXPECT_EQ(c.getConfigText(), " #frame_time:11,frame_time:12,window_title:A,");  // comments only in the first column
  // A line without its comma swallows the next entry into its value.
  EXPECT_FLOAT_EQ(loadFile("frame_time:33\nfont_scale:1,\n").getFontScale(), 2.0f);
  loadText("networking:yes,headless:True,show_mouse:true,frame_time:,");  // an empty value is ignored
  EXPECT_EQ(std::vector<int>({c.getNetworking(), c.getHeadless(), c.getShowMouse(), c.getFrameTime()}),
            std::vector<int>({0, 0, 1, 33}));
}

TEST(Config, BadValuesAreRefusedWithTheirReason) {
  const std::map<std::string, std::function<double(Config&)>> setting = {
      {"window_horizontal_pixels", &Config::getWindowHorizontalPixels}, {"random_seed", &Config::getRandomSeed},
      {"window_vertical_pixels", &Config::getWindowVerticalPixels}, {"font_scale", &Config::getFontScale},
      {"window_horizontal_chars", &Config::getWindowHorizontalChars}, {"frame_time", &Config::getFrameTime},
      {"window_vertical_chars", &Config::getWindowVerticalChars}, {"window_style", &Config::getWindowStyle},
      {"window_background_color", &Config::getWindowBackgroundColor}, {"grid_height", &Config::getGridHeight}};
  // Key, value, why it is refused (nullptr: accepted), the setting then (a refusal keeps the default).
  const struct { const char *key, *value, *refused; double after; } cases[] = {
      {"window_horizontal_pixels", "16384", nullptr, 16384}, {"window_horizontal_pixels", "16385", "from 1 to 16384.", 1024},
      {"window_vertical_pixels", "1", nullptr, 1}, {"window_vertical_pixels", "0", "from 1 to 16384.", 768},
      {"window_horizontal_pixels", "wide", "from 1 to 16384.", 1024}, {"window_horizontal_chars", "1000", nullptr, 1000},
      {"window_horizontal_chars", "1001", "from 1 to 1000.", 80}, {"window_vertical_chars", "1", nullptr, 1},
      {"window_vertical_chars", "-3", "from 1 to 1000.", 24}, {"frame_time", "0", nullptr, 0},
      {"frame_time", "1000", nullptr, 1000}, {"frame_time", "-1", "from 0 to 1000.", 33},
      {"frame_time", "2147483647", "from 0 to 1000.", 33}, {"frame_time", "33ms", "from 0 to 1000.", 33},
      {"random_seed", "-1", nullptr, -1}, {"random_seed", "99999999999", "from -2147483648 to 2147483647.", 0},
      {"font_scale", "10", nullptr, 10}, {"font_scale", "0.01", nullptr, 0.01f},
      {"font_scale", "10.01", "above 0 and at most 10.", 2}, {"font_scale", "0", "above 0 and at most 10.", 2},
      {"font_scale", "nan", "above 0 and at most 10.", 2}, {"font_scale", "1.5x", "above 0 and at most 10.", 2},
      {"grid_height", "0", "from 1 to 2147483647.", 8}, {"window_background_color", "Red", "window color", 0}, {"window_style", "windowed", "window style", 5},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(std::string(row.key) + ":" + row.value);
    testing::internal::CaptureStderr();
    Config& c = loadText(std::string(row.key) + ":" + row.value + ",");
    std::string err = testing::internal::GetCapturedStderr();
    std::string why = row.refused ? row.refused : "", line;
    bool word = why.rfind("window ", 0) == 0;  // a word the setting does not know: only ignored
    if (word)
      line = "loadConfig(): Unsupported " + why + " '" + row.value + "'";
    else if (row.refused)
      line = std::string("Config::loadConfig(): Error! ") + row.key + " is '" + row.value + "', not a number " + why;
    EXPECT_EQ(c.getErrors(), row.refused && !word ? std::vector<std::string>{line} : std::vector<std::string>{});
    EXPECT_EQ(line.empty() ? err.empty() : err.find(line) != std::string::npos, true) << err;
    EXPECT_DOUBLE_EQ(setting.at(row.key)(c), row.after);
  }
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
  EXPECT_EQ(std::vector<int>({c.getFrameTime(), c.getWindowHorizontalPixels()}), std::vector<int>({33, 1024}));
}

TEST(Config, WriteConfigPrintsTheSettingsInOrder) {
  zv::LogManager& log = zv::LogManager::getInstance();
  log.setLogLevel(1);
  log.startUp();
  loadText("window_title:Race,networking:true,").writeConfig();
  log.shutDown();
  std::vector<std::string> lines = zvtest::logMessages(), expected = {
      "-----------------------------------", "Zelvra configuration:", "  Window horizontal pixels: 1024",
      "  Window vertical pixels: 768", "  Window horizontal characters: 80", "  Window vertical characters: 24",
      "  Window background color: 0", "  Frame time: 33", "  Window style: default", "  Window title: Race",
      "  Show mouse: false", "  Headless: false", "  Font file: zv-font.ttf", "  Log file: zelvra.log",
      "  Random seed: 0", "  Networking: true", "  Scene graph: simple", "-----------------------------------",
  };
  EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<long>(std::min(expected.size(), lines.size())), lines.end()),
            expected);
}
