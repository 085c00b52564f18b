// The conductor: starts every manager in order, runs the fixed-rate game
// loop and stops everything in reverse order. Objects register with it for
// step events.
#ifndef ZV_GAME_MANAGER_H
#define ZV_GAME_MANAGER_H

#include <zelvra/core/Manager.h>
#include <zelvra/core/Version.h>

namespace zv {

class Clock;

const float ZELVRA_VERSION = ZELVRA_VERSION_NUMBER;
const float NETWORK_FRAME_SHARE = 0.2f;
const float PATH_FRAME_SHARE = 0.95f;
const float VIEW_SLACK = 1.0f / 3.0f;

class GameManager : public Manager {
 private:
  bool game_over;
  int frame_time;
  int step_count;

  GameManager();
  GameManager(const GameManager&) = delete;
  void operator=(const GameManager&) = delete;
  // Accepts one connection, then announces messages within the frame's
  // network share.
  void networkStep(const Clock& clock);
  // One message from each connection; true when some came and a connection
  // is still open.
  bool handOutMessages();

 public:
  static GameManager& getInstance();
  ~GameManager() override;

  // 0; -1 when already started, when the configuration holds a refused value,
  // or when the log or another manager cannot start.
  int startUp() override;
  void shutDown() override;
  // Runs frames until game over is found set at the end of one.
  void run();

  bool isValid(std::string event_type) const override;
  void setGameOver(bool new_game_over = true);
  bool getGameOver() const;
  int getFrameTime() const;
  int getStepCount() const;
};

} // namespace zv

#endif
