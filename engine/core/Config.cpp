#include "core/Config.h"

#include <cstdio>
#include <cstdlib>

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
}

Config& Config::getInstance() {
  static Config instance;
  return instance;
}

std::string Config::readConfig() {
  const char* env = getenv("ZELVRA_CONFIG");
  std::string filename = env ? env : "zv-config.txt";
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

void Config::loadConfig(std::string& config) {
  if (config.empty())
    config = readConfig();
  config_text = config;
  // An empty text would search whatever the matcher parsed last.
  if (config_text.empty())
    return;
  match(config_text, "");

  std::string value;
  if (!(value = match(config_text, "frame_time")).empty())
    frame_time = atoi(value.c_str());
  if (!(value = match(config_text, "font_scale")).empty())
    font_scale = static_cast<float>(atof(value.c_str()));
  if (!(value = match(config_text, "window_horizontal_pixels")).empty())
    window_horizontal_pixels = atoi(value.c_str());
  if (!(value = match(config_text, "window_vertical_pixels")).empty())
    window_vertical_pixels = atoi(value.c_str());
  if (!(value = match(config_text, "window_horizontal_chars")).empty())
    window_horizontal_chars = atoi(value.c_str());
  if (!(value = match(config_text, "window_vertical_chars")).empty())
    window_vertical_chars = atoi(value.c_str());
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
  if (!(value = match(config_text, "random_seed")).empty())
    random_seed = atoi(value.c_str());
  if (!(value = match(config_text, "networking")).empty())
    networking = value == "true";
  if (!(value = match(config_text, "grid_width")).empty())
    grid_width = atoi(value.c_str());
  if (!(value = match(config_text, "grid_height")).empty())
    grid_height = atoi(value.c_str());
  if (!(value = match(config_text, "quadtree_depth")).empty())
    quadtree_depth = atoi(value.c_str());
  if (!(value = match(config_text, "quadtree_threshold")).empty())
    quadtree_threshold = atoi(value.c_str());
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
