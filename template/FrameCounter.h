// A view object in the top right corner counting the frames; given a limit,
// it ends the game after that many, so the game can run unattended.
#ifndef FRAME_COUNTER_H
#define FRAME_COUNTER_H

#include <zelvra/display/ViewObject.h>

class FrameCounter : public zv::ViewObject {
 private:
  int limit;

 public:
  // limit 0: count for ever.
  explicit FrameCounter(int limit);
  int eventHandler(const zv::Event* p_e) override;
};

#endif
