// Every setting of the engine, read once at start-up from a text file of
// comma-terminated key:value entries.
#ifndef ZV_CONFIG_H
#define ZV_CONFIG_H

#include <string>

namespace zv {

const int WINDOW_STYLE_DEFAULT = 5;     // title bar and close button, fixed size
const int WINDOW_STYLE_FULLSCREEN = 8;

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

  Config();
  Config(const Config&) = delete;
  void operator=(const Config&) = delete;

 public:
  static Config& getInstance();

  // Reads the file named by ZELVRA_CONFIG, else "zv-config.txt": comment
  // lines (a '#' in column 1) and empty lines skipped, one CR removed per
  // line, lines joined with nothing between them.
  std::string readConfig();
  // Fills the settings from config, reading the file first when it is empty.
  void loadConfig(std::string& config);
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
