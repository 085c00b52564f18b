#include <zelvra/display/DisplayManager.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

#include <zelvra/core/Config.h>
#include <zelvra/core/InstalledData.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/core/Utility.h>
#include <zelvra/display/CellBatch.h>
#include <zelvra/display/GlyphCache.h>
#include <zelvra/platform/Platform.h>

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

sf::Vector2f backgroundOffset() { return sf::Vector2f(-cellWidth() / 10, cellHeight() / 5); }

Vector pixelsToSpaces(Vector pixels) {
  Vector spaces(pixels.getX() / cellWidth(), pixels.getY() / cellHeight());
  LogManager::getInstance().writeLog(30, "pixelsToSpaces(): pixels (%.2f,%.2f) = spaces (%.2f,%.2f)",
                                     static_cast<double>(pixels.getX()), static_cast<double>(pixels.getY()),
                                     static_cast<double>(spaces.getX()), static_cast<double>(spaces.getY()));
  return spaces;
}

struct DisplayManager::Drawing {
  CellBatch cells;
  GlyphCache glyphs;
};

DisplayManager::DisplayManager()
    : p_window(nullptr),
      window_horizontal_pixels(0),
      window_vertical_pixels(0),
      window_horizontal_chars(0),
      window_vertical_chars(0),
      window_background_color(sf::Color::Black),
      // One display, so one drawing; made before the manager, it outlives it.
      drawing(*[] {
        static Drawing the_drawing;
        return &the_drawing;
      }()),
      seen_rotation(0) {
  setType("DisplayManager");
}

DisplayManager::~DisplayManager() { delete p_window; }

DisplayManager& DisplayManager::getInstance() {
  static DisplayManager instance;
  return instance;
}

int DisplayManager::startUp() {
  LogManager& log = LogManager::getInstance();
  if (warnIfStarted())
    return -1;
  // A failed start-up may have left a window open; this one makes its own.
  release();
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
    // The configuration allows up to 16,384 pixels; some graphics drivers
    // draw into less, and a window past that cannot show anything.
    unsigned int most = sf::Texture::getMaximumSize();
    if (static_cast<unsigned int>(window_horizontal_pixels) > most ||
        static_cast<unsigned int>(window_vertical_pixels) > most) {
      char line[160];
      snprintf(line, sizeof(line),
               "DisplayManager::startUp(): Error! A window of %d x %d pixels is more than the graphics can give (%u).",
               window_horizontal_pixels, window_vertical_pixels, most);
      log.writeLog("%s", line);
      fprintf(stderr, "%s\n", line);
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

    if (!font.loadFromFile(InstalledData::getInstance().dataFile(config.getFontFile()))) {
      log.writeLog("DisplayManager::startUp(): Unable to load font from file '%s'.", config.getFontFile().c_str());
      return -1;
    }
    float cell = cellWidth() < cellHeight() ? cellWidth() : cellHeight();
    drawing.glyphs.reset(&font, static_cast<unsigned int>(config.getFontScale() * cell), true);
    window_background_color = colorToSFML(static_cast<Color>(config.getWindowBackgroundColor()));
    drawing.cells.reset(drawing.glyphs.getPage(), GlyphCache::WHITE_TEXEL, window_background_color);
    cell_reach = measureReach();
    // A background and a glyph for every cell, with room for overlap.
    drawing.cells.reserve(4 * static_cast<std::size_t>(window_horizontal_chars > 0 ? window_horizontal_chars : 0) *
                  static_cast<std::size_t>(window_vertical_chars > 0 ? window_vertical_chars : 0));
    seen_size = sf::Vector2f();  // the window's view is worked out at the first character
    warmUp();
  }

  Manager::startUp();
  log.writeLog(5, "DisplayManager::startUp(): successfully started.");
  return 0;
}

void DisplayManager::warmUp() {
  // The software renderer compiles its shaders in the first frames that
  // draw; two frames of a speck in the background colour do that here, so
  // the game's first frames keep to their time.
  for (int frame = 0; frame < 2; frame++) {
    p_window->clear(window_background_color);
    drawing.cells.addTriangle(sf::Vector2f(0, 0), sf::Vector2f(1, 0), sf::Vector2f(0, 1), window_background_color);
    drawing.cells.draw(*p_window);
    p_window->display();
  }
  p_window->clear(window_background_color);
  drawing.cells.cleared();
}

void DisplayManager::release() {
  if (p_window) {
    p_window->close();
    delete p_window;
    p_window = nullptr;
  }
  drawing.cells.reset(nullptr, 0, sf::Color::Black);  // first: it points at the glyphs
  drawing.glyphs.reset(nullptr, 0, false);
}

void DisplayManager::shutDown() {
  release();
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
  float x = pixels.getX(), y = pixels.getY();
  followView();
  const sf::FloatRect& reach = cell_reach;
  if (drawing.cells.unseen(x + reach.left, y + reach.top, x + reach.left + reach.width, y + reach.top + reach.height))
    return 0;
  // The cell's background, then its glyph, which may overhang the cell.
  sf::Vector2f at = sf::Vector2f(x, y) + backgroundOffset();
  drawing.cells.erase(at.x, at.y, at.x + cellWidth(), at.y + cellHeight());
  const GlyphCache::Glyph& glyph = drawing.glyphs.get(ch);
  if (glyph.drawn)
    drawing.cells.addGlyph(glyph, x, y, sf::Color(r, g, b, 255));
  return 0;
}

bool DisplayManager::areaUnseen(Vector top_left, Vector bottom_right) const {
  if (!isStarted() || Config::getInstance().getHeadless() || !p_window)
    return false;
  Vector a = spacesToPixels(worldToView(top_left)), b = spacesToPixels(worldToView(bottom_right));
  followView();
  const sf::FloatRect& reach = cell_reach;
  return drawing.cells.unseen(a.getX() + reach.left, a.getY() + reach.top, b.getX() + reach.left + reach.width,
                      b.getY() + reach.top + reach.height);
}

sf::FloatRect DisplayManager::measureReach() const {
  sf::Vector2f offset = backgroundOffset();
  const sf::FloatRect& glyph = drawing.glyphs.reach();
  float left = std::min(offset.x, glyph.left), top = std::min(offset.y, glyph.top);
  float right = std::max(offset.x + cellWidth(), glyph.left + glyph.width);
  float bottom = std::max(offset.y + cellHeight(), glyph.top + glyph.height);
  return sf::FloatRect(left, top, right - left, bottom - top);
}

int DisplayManager::drawShape(const sf::Shape& shape) const {
  if (!p_window)
    return -1;
  followView();
  sf::FloatRect bounds = shape.getGlobalBounds();
  if (drawing.cells.unseen(bounds.left, bounds.top, bounds.left + bounds.width, bounds.top + bounds.height))
    return 0;
  // The fan a shape is drawn as: from the middle of its points' box to each side.
  sf::FloatRect inside = shape.getLocalBounds();
  const sf::Transform& transform = shape.getTransform();
  sf::Vector2f middle = transform.transformPoint(inside.left + inside.width / 2, inside.top + inside.height / 2);
  std::size_t count = shape.getPointCount();
  sf::Vector2f first = transform.transformPoint(shape.getPoint(0)), previous = first;
  for (std::size_t i = 1; i <= count; i++) {
    sf::Vector2f next = i < count ? transform.transformPoint(shape.getPoint(i)) : first;
    drawing.cells.addTriangle(middle, previous, next, shape.getFillColor());
    previous = next;
  }
  return 0;
}

void DisplayManager::followView() const {
  const sf::View& view = p_window->getView();
  if (view.getCenter() == seen_center && view.getSize() == seen_size && view.getRotation() == seen_rotation)
    return;
  seen_center = view.getCenter();
  seen_size = view.getSize();
  seen_rotation = view.getRotation();
  // A turned view shows at most the circle around its corners.
  float half_w = std::fabs(seen_size.x) / 2, half_h = std::fabs(seen_size.y) / 2;
  if (seen_rotation != 0)
    half_w = half_h = std::hypot(half_w, half_h);
  drawing.cells.setVisible(sf::FloatRect(seen_center.x - half_w, seen_center.y - half_h, 2 * half_w, 2 * half_h));
}

void DisplayManager::flushCells() const {
  if (p_window)
    drawing.cells.draw(*p_window);
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
  flushCells();
  p_window->display();
  p_window->clear(window_background_color);
  drawing.cells.cleared();
  return 0;
}

DrawCounts DisplayManager::getDrawCounts() const { return drawing.cells.lastFrame(); }

int DisplayManager::getHorizontalChars() const { return window_horizontal_chars; }
int DisplayManager::getVerticalChars() const { return window_vertical_chars; }
int DisplayManager::getHorizontalPixels() const { return window_horizontal_pixels; }
int DisplayManager::getVerticalPixels() const { return window_vertical_pixels; }
bool DisplayManager::hasWindow() const { return p_window != nullptr; }

sf::RenderWindow* DisplayManager::getRenderWindow() const {
  flushCells();
  return p_window;
}

sf::Window* DisplayManager::getWindow() const { return p_window; }

} // namespace zv
