#include <zelvra/core/Config.h>

#include <cassert>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <variant>

#include <zelvra/core/Color.h>
#include <zelvra/core/InstalledData.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/core/Match.h>
#include <zelvra/core/Utility.h>

namespace zv {

namespace {

// A word of the file that stands for a number.
struct Word {
  const char* name;
  int number;
};

// The words one setting accepts, and how its refusal and its log line read.
struct Choice {
  const char* what;  // "color": "Unsupported window color"
  std::vector<Word> words;
  bool logged_by_name;
};

std::string refusal(const char* key, const std::string& value, const std::string& wanted) {
  return std::string("Config::loadConfig(): Error! ") + key + " is '" + value + "', not a number " + wanted + ".";
}

} // namespace

// The member a row fills decides how its value is read; an int read through
// a choice takes words instead of digits.
struct Config::Setting {
  using Member = std::variant<int Config::*, float Config::*, bool Config::*, std::string Config::*>;
  const char* key;
  Member member;
  const char* initial;  // the default, written as the file would give it
  int line;             // its place in writeConfig's list; 0: not printed
  const char* label;    // how writeConfig names it
  double low = INT_MIN, high = INT_MAX;  // numbers; a scale must be above low
  const Choice* choice = nullptr;

  // Stores value; otherwise returns why not and leaves the setting alone.
  std::string read(Config& config, const std::string& value) const;
  // The setting as writeConfig prints it.
  std::string show(const Config& config) const;

 private:
  std::string readNumber(const std::string& value, int& setting) const;
  std::string readScale(const std::string& value, float& setting) const;
  std::string readWord(const std::string& value, int& setting) const;
};

std::string Config::Setting::read(Config& config, const std::string& value) const {
  assert(!value.empty());
  if (auto p_flag = std::get_if<bool Config::*>(&member)) {
    config.*(*p_flag) = value == "true";
    return "";
  }
  if (auto p_text = std::get_if<std::string Config::*>(&member)) {
    config.*(*p_text) = value;
    return "";
  }
  if (auto p_scale = std::get_if<float Config::*>(&member))
    return readScale(value, config.*(*p_scale));
  int& setting = config.*std::get<int Config::*>(member);
  return choice ? readWord(value, setting) : readNumber(value, setting);
}

std::string Config::Setting::readNumber(const std::string& value, int& setting) const {
  errno = 0;
  char* end = nullptr;
  long number = strtol(value.c_str(), &end, 10);
  if (*end != '\0' || errno != 0 || number < low || number > high)
    return refusal(key, value, "from " + std::to_string(static_cast<long>(low)) + " to " +
                                   std::to_string(static_cast<long>(high)));
  setting = static_cast<int>(number);
  return "";
}

std::string Config::Setting::readScale(const std::string& value, float& setting) const {
  char* end = nullptr;
  float scale = strtof(value.c_str(), &end);
  // Written so that NaN fails too.
  if (!(*end == '\0' && scale > low && scale <= high))
    return refusal(key, value, "above " + toString(static_cast<float>(low)) + " and at most " +
                                   toString(static_cast<float>(high)));
  setting = scale;
  return "";
}

std::string Config::Setting::readWord(const std::string& value, int& setting) const {
  for (const Word& word : choice->words) {
    if (value == word.name) {
      setting = word.number;
      return "";
    }
  }
  return std::string("loadConfig(): Unsupported window ") + choice->what + " '" + value + "'";
}

std::string Config::Setting::show(const Config& config) const {
  if (auto p_flag = std::get_if<bool Config::*>(&member))
    return boolToString(config.*(*p_flag));
  if (auto p_text = std::get_if<std::string Config::*>(&member))
    return config.*(*p_text);
  if (auto p_scale = std::get_if<float Config::*>(&member))
    return toString(config.*(*p_scale));
  int number = config.*std::get<int Config::*>(member);
  if (choice && choice->logged_by_name)
    for (const Word& word : choice->words)
      if (word.number == number)
        return word.name;
  return std::to_string(number);
}

// Read in this order, so that refusals are logged in it.
const std::vector<Config::Setting>& Config::settings() {
  // The log shows a colour by its Color number, a style by its word.
  static const Choice colors = {"color", {{"black", BLACK}, {"red", RED}, {"green", GREEN}, {"yellow", YELLOW},
      {"blue", BLUE}, {"magenta", MAGENTA}, {"cyan", CYAN}, {"white", WHITE}}, false};
  static const Choice styles = {
      "style", {{"default", WINDOW_STYLE_DEFAULT}, {"fullscreen", WINDOW_STYLE_FULLSCREEN}}, true};
  using C = Config;
  static const std::vector<Setting> table = {
      {"frame_time", &C::frame_time, "33", 6, "Frame time", 0, MAX_FRAME_TIME},
      {"font_scale", &C::font_scale, "2", 0, nullptr, 0, MAX_FONT_SCALE},
      {"window_horizontal_pixels", &C::window_horizontal_pixels, "1024", 1, "Window horizontal pixels", 1,
       MAX_WINDOW_PIXELS},
      {"window_vertical_pixels", &C::window_vertical_pixels, "768", 2, "Window vertical pixels", 1,
       MAX_WINDOW_PIXELS},
      {"window_horizontal_chars", &C::window_horizontal_chars, "80", 3, "Window horizontal characters", 1,
       MAX_WINDOW_CHARS},
      {"window_vertical_chars", &C::window_vertical_chars, "24", 4, "Window vertical characters", 1,
       MAX_WINDOW_CHARS},
      {"window_background_color", &C::window_background_color, "black", 5, "Window background color", 0, 0,
       &colors},
      {"window_style", &C::window_style, "default", 7, "Window style", 0, 0, &styles},
      {"window_title", &C::window_title, "Zelvra", 8, "Window title"},
      {"show_mouse", &C::show_mouse, "false", 9, "Show mouse"},
      {"headless", &C::headless, "false", 10, "Headless"},
      {"font_file", &C::font_file, "zv-font.ttf", 11, "Font file"},
      {"logfile", &C::logfile, "zelvra.log", 12, "Log file"},
      {"random_seed", &C::random_seed, "0", 13, "Random seed"},
      {"networking", &C::networking, "false", 14, "Networking"},
      // The collision grid's cell, in world cells (CollisionGrid.h); not printed.
      {"grid_width", &C::grid_width, "20", 0, nullptr, 1, INT_MAX},
      {"grid_height", &C::grid_height, "8", 0, nullptr, 1, INT_MAX},
      {"quadtree_depth", &C::quadtree_depth, "10", 0, nullptr},
      {"quadtree_threshold", &C::quadtree_threshold, "1", 0, nullptr},
  };
  return table;
}

Config::Config() { reset(); }

void Config::reset() {
  config_text = "";
  errors.clear();
  for (const Setting& setting : settings()) {
    [[maybe_unused]] std::string error = setting.read(*this, setting.initial);
    assert(error.empty());
  }
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

void Config::reportError(const std::string& line, bool stops) {
  if (stops)
    errors.push_back(line);
  LogManager::getInstance().writeLog("%s", line.c_str());
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
  for (const Setting& setting : settings()) {
    std::string value = match(config_text, setting.key);
    if (value.empty())
      continue;
    std::string error = setting.read(*this, value);
    if (!error.empty())
      reportError(error, !setting.choice);
  }
}

void Config::writeConfig() const {
  LogManager& log = LogManager::getInstance();
  const char* rule = "-----------------------------------";
  log.writeLog(1, "%s", rule);
  log.writeLog(1, "Zelvra configuration:");
  bool printed = true;
  for (int line = 1; printed; line++) {
    printed = false;
    for (const Setting& setting : settings())
      if (setting.line == line) {
        log.writeLog(1, "  %s: %s", setting.label, setting.show(*this).c_str());
        printed = true;
      }
  }
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
