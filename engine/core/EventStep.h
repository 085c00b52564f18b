// Sent to interested objects at the start of every frame.
#ifndef ZV_EVENT_STEP_H
#define ZV_EVENT_STEP_H

#include <zelvra/core/Event.h>

namespace zv {

class EventStep : public Event {
 private:
  int step_count;

 public:
  explicit EventStep(int init_step_count = 0);
  ~EventStep() override;
  int getStepCount() const;
};

} // namespace zv

#endif
