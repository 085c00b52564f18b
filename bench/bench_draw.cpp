// Drawing cost per frame in a real window (run it under an X display, for
// instance scripts/with-display.sh). Every figure is the median of FRAMES
// frames, each drawn and then presented, all in one window:
//   a full 80 x 24 screen of changing characters through the engine, drawn
//   cell by cell with a rectangle and a one-letter text each (the old way,
//   kept here as the baseline), and as one bare vertex array (the floor);
//   a 1000 x 1000 sprite moving through the view;
//   and, in a second window, a full 240 x 80 screen through the engine and
//   as one bare array. Beside the engine's figures: the quads and cell
//   backgrounds its last frame drew. For both full screens, also the CPU
//   time of building the engine's batch alone, without presenting it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <time.h>
#include <unistd.h>
#include <vector>

#include <SFML/Graphics.hpp>

#include <zelvra/core/Config.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/display/DisplayManager.h>
#include <zelvra/platform/Platform.h>
#include <zelvra/resources/Sprite.h>

namespace {

const int FRAMES = 120;

char cellChar(int x, int y, int frame) { return static_cast<char>('!' + (x + y + frame) % 90); }
sf::Color cellColor(int x, int y) { return zv::colorToSFML(static_cast<zv::Color>(1 + (x + y) % 7)); }

// Median milliseconds of a frame: draw(frame), then present it.
double medianFrame(const std::function<void(int)>& draw) {
  zv::DisplayManager& display = zv::DisplayManager::getInstance();
  std::vector<double> ms;
  for (int frame = 0; frame < FRAMES; frame++) {
    auto start = std::chrono::steady_clock::now();
    draw(frame);
    display.presentFrame();
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

// Median CPU milliseconds this thread spends in draw(frame) alone; each
// frame is then presented, untimed.
double medianBuildCpu(const std::function<void(int)>& draw) {
  auto cpu_ms = [] {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
  };
  std::vector<double> ms;
  for (int frame = 0; frame < FRAMES; frame++) {
    double start = cpu_ms();
    draw(frame);
    ms.push_back(cpu_ms() - start);
    zv::DisplayManager::getInstance().presentFrame();
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

void fullScreenThroughEngine(int frame) {
  zv::DisplayManager& display = zv::DisplayManager::getInstance();
  for (int y = 0; y < display.getVerticalChars(); y++)
    for (int x = 0; x < display.getHorizontalChars(); x++) {
      sf::Color c = cellColor(x, y);
      display.drawCharacter(zv::Vector(static_cast<float>(x), static_cast<float>(y)), cellChar(x, y, frame), c.r,
                            c.g, c.b);
    }
}

// The floor: a full screen's quads written straight into one array and
// drawn once, with no engine in between.
void oneArray(sf::Font& font, unsigned int size, int cols, int rows, int frame) {
  static std::vector<sf::Vertex> vertices;
  const float cw = zv::cellWidth(), ch = zv::cellHeight();
  const sf::Vector2f offset = zv::backgroundOffset();
  vertices.clear();
  auto quad = [&](float l, float t, float r, float b, float u1, float v1, float u2, float v2, sf::Color c) {
    sf::Vertex corners[4] = {{{l, t}, c, {u1, v1}}, {{r, t}, c, {u2, v1}}, {{l, b}, c, {u1, v2}},
                             {{r, b}, c, {u2, v2}}};
    for (int i : {0, 1, 2, 2, 1, 3})
      vertices.push_back(corners[i]);
  };
  for (int y = 0; y < rows; y++)
    for (int x = 0; x < cols; x++) {
      float px = static_cast<float>(x) * cw, py = static_cast<float>(y) * ch;
      quad(px + offset.x, py + offset.y, px + offset.x + cw, py + offset.y + ch, 1, 1, 1, 1, sf::Color::Black);
      const sf::Glyph& g = font.getGlyph(static_cast<sf::Uint32>(cellChar(x, y, frame)), size, true);
      sf::FloatRect b = g.bounds;
      sf::IntRect t = g.textureRect;
      quad(px + b.left - 1, py + size + b.top - 1, px + b.left + b.width + 1, py + size + b.top + b.height + 1,
           static_cast<float>(t.left - 1), static_cast<float>(t.top - 1), static_cast<float>(t.left + t.width + 1),
           static_cast<float>(t.top + t.height + 1), cellColor(x, y));
    }
  zv::DisplayManager::getInstance().getRenderWindow()->draw(vertices.data(), vertices.size(), sf::Triangles,
                                                            &font.getTexture(size));
}

bool startEngine(const std::string& extra_config) {
  std::ofstream config("zv-config.txt");
  config << "frame_time:0,font_file:" << ZELVRA_RUN_DIR << "/zv-font.ttf," << extra_config;
  config.close();
  return zv::GameManager::getInstance().startUp() == 0;
}

zv::Sprite* bigSprite() {
  const int side = 1000;
  zv::Sprite* p_s = new zv::Sprite(1);
  p_s->setWidth(side);
  p_s->setHeight(side);
  p_s->setColor(zv::YELLOW);
  std::string cells(static_cast<std::size_t>(side) * side, ' ');
  for (std::size_t i = 0; i < cells.size(); i++)
    cells[i] = static_cast<char>('A' + i % 26);
  p_s->addFrame(zv::Frame(side, side, cells));
  return p_s;
}

} // namespace

int main() {
  if (!zv::platform::displayAvailable()) {
    fprintf(stderr, "bench_draw needs an X display (try scripts/with-display.sh)\n");
    return 1;
  }
  char dir_template[] = "/tmp/zelvra-bench-XXXXXX";
  if (!mkdtemp(dir_template) || chdir(dir_template) != 0 || !startEngine("")) {
    fprintf(stderr, "engine did not start (see %s/zelvra.log)\n", dir_template);
    return 1;
  }
  zv::DisplayManager& display = zv::DisplayManager::getInstance();
  sf::Font font;
  if (!font.loadFromFile(std::string(ZELVRA_RUN_DIR) + "/zv-font.ttf"))
    return 1;
  const unsigned int size = 25;
  const float cw = zv::cellWidth(), ch = zv::cellHeight();
  printf("median of %d frames, each drawn and presented\n", FRAMES);

  sf::RectangleShape rect(sf::Vector2f(cw, ch));
  rect.setFillColor(sf::Color::Black);
  sf::Text text("", font, size);
  text.setStyle(sf::Text::Bold);
  double per_cell = medianFrame([&](int frame) {
    sf::RenderWindow& window = *display.getRenderWindow();
    for (int y = 0; y < 24; y++)
      for (int x = 0; x < 80; x++) {
        rect.setPosition(sf::Vector2f(static_cast<float>(x) * cw, static_cast<float>(y) * ch) + zv::backgroundOffset());
        window.draw(rect);
        text.setString(std::string(1, cellChar(x, y, frame)));
        text.setPosition(static_cast<float>(x) * cw, static_cast<float>(y) * ch);
        text.setFillColor(cellColor(x, y));
        window.draw(text);
      }
  });

  // The floor: the same quads written straight into one array, one draw.
  double one_array = medianFrame([&](int frame) { oneArray(font, size, 80, 24, frame); });

  double engine = medianFrame(fullScreenThroughEngine);
  zv::DrawCounts engine_drawn = display.getDrawCounts();

  zv::Sprite* p_big = bigSprite();
  double sprite = medianFrame([&](int frame) {
    p_big->draw(0, zv::Vector(static_cast<float>(frame % 600) - 300, static_cast<float>(frame % 400) - 200), 0);
  });
  zv::DrawCounts sprite_drawn = display.getDrawCounts();
  delete p_big;
  double build_cpu = medianBuildCpu(fullScreenThroughEngine);
  zv::GameManager::getInstance().shutDown();

  printf("full 80 x 24, cell by cell (old way)  %7.2f ms\n", per_cell);
  printf("full 80 x 24, one bare array          %7.2f ms\n", one_array);
  printf("full 80 x 24, engine                  %7.2f ms  (%.2f x the array, %.2f x faster than cell by cell)"
         "  %d quads, %d backgrounds\n",
         engine, engine / one_array, per_cell / engine, engine_drawn.quads, engine_drawn.backgrounds);
  printf("full 80 x 24, building the batch      %7.3f ms  (CPU time of this thread, not presented)\n", build_cpu);
  printf("1000 x 1000 sprite through the view   %7.2f ms  (%.2f x the full 80 x 24)  %d quads, %d backgrounds\n",
         sprite, sprite / engine, sprite_drawn.quads, sprite_drawn.backgrounds);

  // A large window: 240 x 80 cells of 5.33 x 12 pixels, characters of 10.
  if (!startEngine("window_horizontal_pixels:1280,window_vertical_pixels:960,window_horizontal_chars:240,"
                   "window_vertical_chars:80,")) {
    fprintf(stderr, "engine did not start a 240 x 80 window\n");
    return 1;
  }
  double large = medianFrame(fullScreenThroughEngine);
  zv::DrawCounts large_drawn = display.getDrawCounts();
  const unsigned int large_size = static_cast<unsigned int>(
      zv::Config::getInstance().getFontScale() * std::min(zv::cellWidth(), zv::cellHeight()));
  double large_array = medianFrame([&](int frame) { oneArray(font, large_size, 240, 80, frame); });
  double large_build_cpu = medianBuildCpu(fullScreenThroughEngine);
  zv::GameManager::getInstance().shutDown();
  printf("full 240 x 80 (1280 x 960), engine    %7.2f ms  (%.2f x the same in one bare array, %.2f ms)"
         "  %d quads, %d backgrounds\n",
         large, large / large_array, large_array, large_drawn.quads, large_drawn.backgrounds);
  printf("full 240 x 80, building the batch     %7.3f ms  (CPU time of this thread, not presented)\n", large_build_cpu);

  std::string cleanup = std::string("rm -rf '") + dir_template + "'";
  return system(cleanup.c_str()) == 0 ? 0 : 1;
}
