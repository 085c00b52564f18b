#include "display/DisplayManager.h"

#include <new>

#include "core/Config.h"
#include "core/LogManager.h"
#include "core/Utility.h"
#include "platform/Platform.h"

namespace zv {

float cellWidth() {
  const DisplayManager& dm = DisplayManager::getInstance();
  return static_cast<float>(dm.getHorizontalPixels()) / static_cast<float>(dm.getHorizontalChars());
}

float cellHeight() {
  const DisplayManager& dm = DisplayManager::getInstance();
  return static_cast<float>(dm.getVerticalPixels()) / static_cast<float>(dm.getVerticalChars());
}

Vector spacesToPixels(Vector spaces) {
  Vector pixels(spaces.getX() * cellWidth(), spaces.getY() * cellHeight());
  LogManager::getInstance().writeLog(30, "spacesToPixels(int): spaces (%.2f,%.2f) = pixels (%.2f,%.2f)",
                                     static_cast<double>(spaces.getX()), static_cast<double>(spaces.getY()),
                                     static_cast<double>(pixels.getX()), static_cast<double>(pixels.getY()));
  return pixels;
}

Vector pixelsToSpaces(Vector pixels) {
  Vector spaces(pixels.getX() / cellWidth(), pixels.getY() / cellHeight());
  LogManager::getInstance().writeLog(30, "pixelsToSpaces(): pixels (%.2f,%.2f) = spaces (%.2f,%.2f)",
                                     static_cast<double>(pixels.getX()), static_cast<double>(pixels.getY()),
                                     static_cast<double>(spaces.getX()), static_cast<double>(spaces.getY()));
  return spaces;
}

DisplayManager::DisplayManager()
    : p_window(nullptr),
      window_horizontal_pixels(0),
      window_vertical_pixels(0),
      window_horizontal_chars(0),
      window_vertical_chars(0),
      p_rectangle(nullptr),
      window_background_color(sf::Color::Black),
      p_text(nullptr) {
  setType("DisplayManager");
}

DisplayManager::~DisplayManager() {
  delete p_window;
  delete p_text;
  delete p_rectangle;
}

DisplayManager& DisplayManager::getInstance() {
  static DisplayManager instance;
  return instance;
}

int DisplayManager::startUp() {
  LogManager& log = LogManager::getInstance();
  if (isStarted()) {
    log.writeLog("%s::startup(): Warning! %s already started.", getType().c_str(), getType().c_str());
    return -1;
  }
  Config& config = Config::getInstance();
  window_horizontal_pixels = config.getWindowHorizontalPixels();
  window_vertical_pixels = config.getWindowVerticalPixels();
  window_horizontal_chars = config.getWindowHorizontalChars();
  window_vertical_chars = config.getWindowVerticalChars();

  if (config.getHeadless()) {
    log.writeLog(1, "DisplayManager::startUp(): not doing graphics since in headless mode.");
  } else {
    // Without a display the window library would end the process.
    if (!platform::displayAvailable()) {
      log.writeLog("DisplayManager::startUp(): Unable to allocate window!");
      return -1;
    }
    sf::VideoMode desktop = sf::VideoMode::getDesktopMode();
    log.writeLog(5, "DisplayManager::startUp(): window resolution (%d, %d) pixels.", static_cast<int>(desktop.width),
                 static_cast<int>(desktop.height));

    sf::String title(config.getWindowTitle(), std::locale());
    p_window = new (std::nothrow)
        sf::RenderWindow(sf::VideoMode(static_cast<unsigned int>(window_horizontal_pixels),
                                       static_cast<unsigned int>(window_vertical_pixels), 32),
                         title, static_cast<sf::Uint32>(config.getWindowStyle()));
    if (!p_window) {
      log.writeLog("DisplayManager::startUp(): Unable to allocate window!");
      return -1;
    }
    p_window->setMouseCursorVisible(config.getShowMouse());
    p_window->setVerticalSyncEnabled(true);

    if (!font.loadFromFile(config.getFontFile())) {
      log.writeLog("DisplayManager::startUp(): Unable to load font from file '%s'.", config.getFontFile().c_str());
      return -1;
    }
    p_rectangle = new (std::nothrow) sf::RectangleShape(sf::Vector2f(cellWidth(), cellHeight()));
    if (!p_rectangle) {
      log.writeLog("DisplayManager::startUp(): Unable to allocate rectangle.");
      return -1;
    }
    p_text = new (std::nothrow) sf::Text();
    if (!p_text) {
      log.writeLog("DisplayManager::startUp(): Unable to allocate text.");
      return -1;
    }
    p_text->setFont(font);
    p_text->setStyle(sf::Text::Bold);
    float cell = cellWidth() < cellHeight() ? cellWidth() : cellHeight();
    p_text->setCharacterSize(static_cast<unsigned int>(config.getFontScale() * cell));

    window_background_color = colorToSFML(static_cast<Color>(config.getWindowBackgroundColor()));
    p_rectangle->setFillColor(window_background_color);
  }

  Manager::startUp();
  log.writeLog(5, "DisplayManager::startUp(): successfully started.");
  return 0;
}

void DisplayManager::shutDown() {
  if (p_window) {
    p_window->close();
    delete p_window;
    p_window = nullptr;
  }
  delete p_text;
  p_text = nullptr;
  delete p_rectangle;
  p_rectangle = nullptr;
  Manager::shutDown();
  LogManager::getInstance().writeLog(5, "DisplayManager::shutDown(): successfully stopped.");
}

int DisplayManager::drawCharacter(Vector world_pos, char ch, unsigned char r, unsigned char g,
                                  unsigned char b) const {
  if (!isStarted()) {
    LogManager::getInstance().writeLog("%s not started!", getType().c_str());
    return -1;
  }
  if (Config::getInstance().getHeadless() || !p_window)
    return -1;
  Vector pixels = spacesToPixels(worldToView(world_pos));
  p_rectangle->setPosition(pixels.getX() - cellWidth() / 10, pixels.getY() + cellHeight() / 5);
  p_window->draw(*p_rectangle, sf::RenderStates::Default);

  char text[2] = {ch, '\0'};
  p_text->setString(sf::String(text, std::locale()));
  p_text->setPosition(pixels.getX(), pixels.getY());
  p_text->setFillColor(sf::Color(r, g, b, 255));
  p_window->draw(*p_text, sf::RenderStates::Default);
  return 0;
}

int DisplayManager::drawCharacter(Vector world_pos, char ch, Color color) const {
  if (Config::getInstance().getHeadless())
    return -1;
  unsigned char r = 0, g = 0, b = 0;
  colorToRGB(color, r, g, b);
  return drawCharacter(world_pos, ch, r, g, b);
}

int DisplayManager::drawText(Vector world_pos, std::string str, Alignment align, Color color) const {
  if (!isStarted()) {
    LogManager::getInstance().writeLog("%s not started!", getType().c_str());
    return -1;
  }
  if (Config::getInstance().getHeadless())
    return -1;
  Vector start = world_pos;
  float length = static_cast<float>(str.size());
  if (align == ALIGN_CENTER)
    start.setX(world_pos.getX() - static_cast<float>(str.size() / 2));
  else if (align == ALIGN_RIGHT)
    start.setX(world_pos.getX() - length);
  unsigned char r = 0, g = 0, b = 0;
  colorToRGB(color, r, g, b);
  for (std::size_t i = 0; i < str.size(); i++)
    drawCharacter(Vector(start.getX() + static_cast<float>(i), start.getY()), str[i], r, g, b);
  return 0;
}

int DisplayManager::presentFrame() {
  if (!isStarted()) {
    LogManager::getInstance().writeLog("%s not started!", getType().c_str());
    return -1;
  }
  if (Config::getInstance().getHeadless() || !p_window)
    return -1;
  p_window->display();
  p_window->clear(window_background_color);
  return 0;
}

int DisplayManager::getHorizontalChars() const { return window_horizontal_chars; }
int DisplayManager::getVerticalChars() const { return window_vertical_chars; }
int DisplayManager::getHorizontalPixels() const { return window_horizontal_pixels; }
int DisplayManager::getVerticalPixels() const { return window_vertical_pixels; }
sf::RenderWindow* DisplayManager::getRenderWindow() const { return p_window; }

} // namespace zv
