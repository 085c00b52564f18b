// The game-over picture: plays its animation three times, then clears the
// run's obstacles and gauges and brings the start menu back.
#ifndef GAME_GAME_OVER_H
#define GAME_GAME_OVER_H

#include <zelvra/display/ViewObject.h>

class GameOver : public zv::ViewObject {
 private:
  int time_to_live;

 public:
  GameOver();
  ~GameOver() override;
  int eventHandler(const zv::Event* p_e) override;
  // Only the sprite, not the view object's text.
  int draw() override;
  int getTimeToLive() const;
};

#endif
