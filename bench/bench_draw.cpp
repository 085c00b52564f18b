// Drawing cost per frame in a real window (run it under an X display, for
// instance scripts/with-display.sh). Two frames are measured, each drawn and
// then presented:
//   FullScreen   every one of the 80 x 24 cells gets a character;
//   TypicalScene a 40 x 10 sprite, 20 small sprites, 3 labels drawn as
//                text and 500 shapes.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/GameManager.h"
#include "display/DisplayManager.h"
#include "display/Shape.h"
#include "platform/Platform.h"
#include "resources/Sprite.h"

namespace {

zv::Sprite* makeSprite(int width, int height, int frames, zv::Color color) {
  zv::Sprite* p_s = new zv::Sprite(frames);
  p_s->setWidth(width);
  p_s->setHeight(height);
  p_s->setColor(color);
  p_s->setTransparency(' ');
  for (int f = 0; f < frames; f++) {
    std::string cells;
    for (int i = 0; i < width * height; i++)
      cells += (i + f) % 7 == 0 ? ' ' : static_cast<char>('A' + (i + f) % 26);
    p_s->addFrame(zv::Frame(width, height, cells));
  }
  return p_s;
}

void FullScreen(benchmark::State& state) {
  zv::DisplayManager& display = zv::DisplayManager::getInstance();
  int cols = display.getHorizontalChars(), rows = display.getVerticalChars();
  for (auto _ : state) {
    for (int y = 0; y < rows; y++)
      for (int x = 0; x < cols; x++)
        display.drawCharacter(zv::Vector(static_cast<float>(x), static_cast<float>(y)),
                              static_cast<char>('!' + (x + y) % 90), static_cast<zv::Color>(1 + (x + y) % 7));
    display.presentFrame();
  }
  state.counters["chars"] = cols * rows;
}

void TypicalScene(benchmark::State& state) {
  zv::DisplayManager& display = zv::DisplayManager::getInstance();
  zv::Sprite* p_big = makeSprite(40, 10, 2, zv::YELLOW);
  zv::Sprite* p_small = makeSprite(6, 2, 2, zv::CYAN);
  std::vector<zv::Shape> shapes(500);
  for (std::size_t i = 0; i < shapes.size(); i++) {
    shapes[i].setType(static_cast<int>(i % 3));
    shapes[i].setSize(2.0f + static_cast<float>(i % 9));
    shapes[i].setColor(static_cast<zv::Color>(1 + i % 7));
  }
  int frame = 0;
  for (auto _ : state) {
    p_big->draw(frame % 2, zv::Vector(40, 12), p_big->getTransparency());
    for (int i = 0; i < 20; i++)
      p_small->draw((frame + i) % 2, zv::Vector(static_cast<float>(4 + (i % 10) * 8), i < 10 ? 3.0f : 21.0f),
                    p_small->getTransparency());
    display.drawText(zv::Vector(13, 1), " Points 1200 ", zv::ALIGN_CENTER, zv::WHITE);
    display.drawText(zv::Vector(66, 1), " Fuel 87 ", zv::ALIGN_CENTER, zv::WHITE);
    display.drawText(zv::Vector(40, 22), " Press SPACE ", zv::ALIGN_CENTER, zv::WHITE);
    for (std::size_t i = 0; i < shapes.size(); i++)
      shapes[i].draw(zv::Vector(static_cast<float>(i % 80), static_cast<float>((i / 80) * 3 % 24)));
    display.presentFrame();
    frame++;
  }
  delete p_big;
  delete p_small;
}

BENCHMARK(FullScreen)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(TypicalScene)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

int main(int argc, char** argv) {
  if (!zv::platform::displayAvailable()) {
    fprintf(stderr, "bench_draw needs an X display (try scripts/with-display.sh)\n");
    return 1;
  }
  char dir_template[] = "/tmp/zelvra-bench-XXXXXX";
  if (!mkdtemp(dir_template) || chdir(dir_template) != 0) {
    fprintf(stderr, "cannot make a work folder\n");
    return 1;
  }
  {
    std::ofstream config("zv-config.txt");
    config << "frame_time:0,font_file:" << ZELVRA_RUN_DIR << "/zv-font.ttf,";
  }
  if (zv::GameManager::getInstance().startUp() != 0) {
    fprintf(stderr, "engine did not start (see %s/zelvra.log)\n", dir_template);
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  zv::GameManager::getInstance().shutDown();
  std::string cleanup = std::string("rm -rf '") + dir_template + "'";
  return system(cleanup.c_str()) == 0 ? 0 : 1;
}
