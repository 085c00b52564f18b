// The maze both maze examples walk: walls everywhere, then passages carved
// by a depth-first walk over the odd cells.
#ifndef ZV_EXAMPLE_MAZE_LAYOUT_H
#define ZV_EXAMPLE_MAZE_LAYOUT_H

#include <random>
#include <string>
#include <utility>
#include <vector>

namespace maze_layout {

const int WIDTH = 41;
const int HEIGHT = 17;

inline std::vector<std::string> carve(unsigned seed) {
  std::vector<std::string> maze(HEIGHT, std::string(WIDTH, '#'));
  std::mt19937 random(seed);
  std::vector<std::pair<int, int>> stack{{1, 1}};
  maze[1][1] = ' ';
  while (!stack.empty()) {
    auto [x, y] = stack.back();
    std::vector<std::pair<int, int>> options;
    const int steps[4][2] = {{2, 0}, {-2, 0}, {0, 2}, {0, -2}};
    for (auto& s : steps) {
      int nx = x + s[0], ny = y + s[1];
      if (nx > 0 && nx < WIDTH - 1 && ny > 0 && ny < HEIGHT - 1 && maze[ny][nx] == '#')
        options.push_back({nx, ny});
    }
    if (options.empty()) {
      stack.pop_back();
      continue;
    }
    auto [nx, ny] = options[random() % options.size()];
    maze[(y + ny) / 2][(x + nx) / 2] = ' ';
    maze[ny][nx] = ' ';
    stack.push_back({nx, ny});
  }
  return maze;
}

} // namespace maze_layout

#endif
