#include <zelvra/core/EventStep.h>

namespace zv {

EventStep::EventStep(int init_step_count) : step_count(init_step_count) { setType(STEP_EVENT); }
EventStep::~EventStep() {}
int EventStep::getStepCount() const { return step_count; }

} // namespace zv
