// Every setting of the engine, read once at start-up from a text file of
// comma-terminated key:value entries.
#ifndef ZV_CONFIG_H
#define ZV_CONFIG_H

#include <string>
#include <vector>

namespace zv {

const int WINDOW_STYLE_DEFAULT = 5;     // title bar and close button, fixed size
const int WINDOW_STYLE_FULLSCREEN = 8;

// Largest window side accepted, in pixels: beyond it the window library
// and GL give no usable window.
const int MAX_WINDOW_PIXELS = 16384;
const int MAX_WINDOW_CHARS = 1000;
const int MAX_FRAME_TIME = 1000;
const float MAX_FONT_SCALE = 10.0f;

class Config {
 private:
  std::string config_text;
  int window_horizontal_pixels;
  int window_vertical_pixels;
  int window_horizontal_chars;
  int window_vertical_chars;
  int window_style;
  int window_background_color;
  int frame_time;
  float font_scale;
  std::string window_title;
  bool show_mouse;
  bool headless;
  std::string font_file;
  std::string logfile;
  int random_seed;
  bool networking;
  int quadtree_threshold;
  int quadtree_depth;
  int grid_width;
  int grid_height;
  std::vector<std::string> errors;

  // One row of the settings table (Config.cpp): key, member, default, range.
  struct Setting;
  static const std::vector<Setting>& settings();

  Config();
  // Every refused value is logged (to stderr while the log is not open).
  // A bad number stops the start (getErrors()); a word the engine does not
  // know is only ignored.
  void reportError(const std::string& line, bool stops);
  Config(const Config&) = delete;
  void operator=(const Config&) = delete;

 public:
  static Config& getInstance();

  // Reads the file InstalledData names (ZELVRA_CONFIG, the player's copy
  // of an installed game's, else "zv-config.txt"): comment
  // lines (a '#' in column 1) and empty lines skipped, one CR removed per
  // line, lines joined with nothing between them.
  std::string readConfig();
  // Fills the settings from config, reading the file first when it is empty.
  // A number out of its range or a word where a number is due is logged (to
  // stderr while the log is not open), kept in getErrors() and leaves the
  // setting as it was. A colour or window style the engine does not know is
  // logged and ignored: the setting keeps its value.
  void loadConfig(std::string& config);
  // The errors of the last load, one log line each; empty when it was clean.
  std::vector<std::string> getErrors() const;
  // Prints the settings to the log.
  void writeConfig() const;

  std::string getConfigText() const;
  int getWindowHorizontalPixels() const;
  int getWindowVerticalPixels() const;
  int getWindowHorizontalChars() const;
  int getWindowVerticalChars() const;
  int getWindowStyle() const;
  int getWindowBackgroundColor() const;
  int getFrameTime() const;
  float getFontScale() const;
  std::string getWindowTitle() const;
  bool getShowMouse() const;
  bool getHeadless() const;
  std::string getFontFile() const;
  std::string getLogFile() const;
  int getRandomSeed() const;
  bool getNetworking() const;
  int getQuadtreeThreshold() const;
  int getQuadtreeDepth() const;
  int getGridWidth() const;
  int getGridHeight() const;

  // Back to the built-in defaults.
  void reset();
};

} // namespace zv

#endif
