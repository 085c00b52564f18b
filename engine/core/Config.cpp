#include "core/Config.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "core/InstalledData.h"
#include "core/LogManager.h"
#include "core/Match.h"

namespace zv {

Config::Config() { reset(); }

void Config::reset() {
  config_text = "";
  window_horizontal_pixels = 1024;
  window_vertical_pixels = 768;
  window_horizontal_chars = 80;
  window_vertical_chars = 24;
  window_style = WINDOW_STYLE_DEFAULT;
  window_background_color = 0;
  frame_time = 33;
  font_scale = 2.0f;
  window_title = "Zelvra";
  show_mouse = false;
  headless = false;
  font_file = "zv-font.ttf";
  logfile = "zelvra.log";
  random_seed = 0;
  networking = false;
  quadtree_threshold = 1;
  quadtree_depth = 10;
  grid_width = 20;
  grid_height = 8;
  errors.clear();
}

Config& Config::getInstance() {
  static Config instance;
  return instance;
}

std::string Config::readConfig() {
  std::string filename = InstalledData::getInstance().configFile();
  FILE* p_f = fopen(filename.c_str(), "r");
  if (!p_f) {
    LogManager::getInstance().writeLog(1, "Config::readConfig(): Cannot open Zelvra configuration file '%s'.",
                                       filename.c_str());
    return "";
  }
  std::string result;
  std::string line;
  int c;
  bool at_end = false;
  while (!at_end) {
    line.clear();
    while ((c = fgetc(p_f)) != EOF && c != '\n')
      line += static_cast<char>(c);
    if (c == EOF)
      at_end = true;
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (line.empty() || line[0] == '#')
      continue;
    result += line;
  }
  fclose(p_f);
  return result;
}

namespace {
bool readColor(const std::string& value, int& color) {
  static const char* const names[] = {"black", "red", "green", "yellow", "blue", "magenta", "cyan", "white"};
  for (int i = 0; i < 8; i++) {
    if (value == names[i]) {
      color = i;
      return true;
    }
  }
  return false;
}

} // namespace

void Config::reportError(const std::string& line) {
  errors.push_back(line);
  LogManager::getInstance().writeLog("%s", line.c_str());
}

void Config::readInt(const char* key, int low, int high, int& setting) {
  std::string text = match(config_text, key);
  if (text.empty())
    return;
  errno = 0;
  char* end = nullptr;
  long number = strtol(text.c_str(), &end, 10);
  if (*end == '\0' && errno == 0 && number >= low && number <= high) {
    setting = static_cast<int>(number);
    return;
  }
  std::string line = std::string("Config::loadConfig(): Error! ") + key + " is '" + text + "', not a number from " +
                     std::to_string(low) + " to " + std::to_string(high) + ".";
  reportError(line);
}

void Config::loadConfig(std::string& config) {
  if (config.empty())
    config = readConfig();
  config_text = config;
  errors.clear();
  // An empty text would search whatever the matcher parsed last.
  if (config_text.empty())
    return;
  match(config_text, "");

  std::string value;
  readInt("frame_time", 0, MAX_FRAME_TIME, frame_time);
  if (!(value = match(config_text, "font_scale")).empty()) {
    char* end = nullptr;
    float scale = strtof(value.c_str(), &end);
    if (*end == '\0' && scale > 0.0f && scale <= MAX_FONT_SCALE) {
      font_scale = scale;
    } else {
      reportError("Config::loadConfig(): Error! font_scale is '" + value + "', not a number above 0 and at most 10.");
    }
  }
  readInt("window_horizontal_pixels", 1, MAX_WINDOW_PIXELS, window_horizontal_pixels);
  readInt("window_vertical_pixels", 1, MAX_WINDOW_PIXELS, window_vertical_pixels);
  readInt("window_horizontal_chars", 1, MAX_WINDOW_CHARS, window_horizontal_chars);
  readInt("window_vertical_chars", 1, MAX_WINDOW_CHARS, window_vertical_chars);
  if (!(value = match(config_text, "window_background_color")).empty()) {
    if (!readColor(value, window_background_color))
      LogManager::getInstance().writeLog("loadConfig(): Unsupported window color '%s'", value.c_str());
  }
  if (!(value = match(config_text, "window_style")).empty()) {
    if (value == "fullscreen")
      window_style = WINDOW_STYLE_FULLSCREEN;
    else if (value == "default")
      window_style = WINDOW_STYLE_DEFAULT;
    else
      LogManager::getInstance().writeLog("loadConfig(): Unsupported window style '%s'", value.c_str());
  }
  if (!(value = match(config_text, "window_title")).empty())
    window_title = value;
  if (!(value = match(config_text, "show_mouse")).empty())
    show_mouse = value == "true";
  if (!(value = match(config_text, "headless")).empty())
    headless = value == "true";
  if (!(value = match(config_text, "font_file")).empty())
    font_file = value;
  if (!(value = match(config_text, "logfile")).empty())
    logfile = value;
  readInt("random_seed", INT_MIN, INT_MAX, random_seed);
  if (!(value = match(config_text, "networking")).empty())
    networking = value == "true";
  readInt("grid_width", INT_MIN, INT_MAX, grid_width);
  readInt("grid_height", INT_MIN, INT_MAX, grid_height);
  readInt("quadtree_depth", INT_MIN, INT_MAX, quadtree_depth);
  readInt("quadtree_threshold", INT_MIN, INT_MAX, quadtree_threshold);
}

void Config::writeConfig() const {
  LogManager& log = LogManager::getInstance();
  const char* rule = "-----------------------------------";
  log.writeLog(1, "%s", rule);
  log.writeLog(1, "Zelvra configuration:");
  log.writeLog(1, "  Window horizontal pixels: %d", window_horizontal_pixels);
  log.writeLog(1, "  Window vertical pixels: %d", window_vertical_pixels);
  log.writeLog(1, "  Window horizontal characters: %d", window_horizontal_chars);
  log.writeLog(1, "  Window vertical characters: %d", window_vertical_chars);
  log.writeLog(1, "  Window background color: %d", window_background_color);
  log.writeLog(1, "  Frame time: %d", frame_time);
  log.writeLog(1, "  Window style: %s", window_style == WINDOW_STYLE_DEFAULT ? "default" : "fullscreen");
  log.writeLog(1, "  Window title: %s", window_title.c_str());
  log.writeLog(1, "  Show mouse: %s", show_mouse ? "true" : "false");
  log.writeLog(1, "  Headless: %s", headless ? "true" : "false");
  log.writeLog(1, "  Font file: %s", font_file.c_str());
  log.writeLog(1, "  Log file: %s", logfile.c_str());
  log.writeLog(1, "  Random seed: %d", random_seed);
  log.writeLog(1, "  Networking: %s", networking ? "true" : "false");
  log.writeLog(1, "  Scene graph: simple");
  log.writeLog(1, "%s", rule);
}

std::string Config::getConfigText() const { return config_text; }
std::vector<std::string> Config::getErrors() const { return errors; }
int Config::getWindowHorizontalPixels() const { return window_horizontal_pixels; }
int Config::getWindowVerticalPixels() const { return window_vertical_pixels; }
int Config::getWindowHorizontalChars() const { return window_horizontal_chars; }
int Config::getWindowVerticalChars() const { return window_vertical_chars; }
int Config::getWindowStyle() const { return window_style; }
int Config::getWindowBackgroundColor() const { return window_background_color; }
int Config::getFrameTime() const { return frame_time; }
float Config::getFontScale() const { return font_scale; }
std::string Config::getWindowTitle() const { return window_title; }
bool Config::getShowMouse() const { return show_mouse; }
bool Config::getHeadless() const { return headless; }
std::string Config::getFontFile() const { return font_file; }
std::string Config::getLogFile() const { return logfile; }
int Config::getRandomSeed() const { return random_seed; }
bool Config::getNetworking() const { return networking; }
int Config::getQuadtreeThreshold() const { return quadtree_threshold; }
int Config::getQuadtreeDepth() const { return quadtree_depth; }
int Config::getGridWidth() const { return grid_width; }
int Config::getGridHeight() const { return grid_height; }

} // namespace zv
