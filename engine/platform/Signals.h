// SIGINT and SIGTERM ask the game to end as Q does: the handler only
// records the signal, and the game loop ends the game at the end of its
// frame. A second signal ends the process at once, for a shut-down that
// hangs.
#ifndef ZV_SIGNALS_H
#define ZV_SIGNALS_H

namespace zv {
namespace platform {

// Installs the handlers and forgets any earlier request.
void catchStopSignals();
// Puts the default actions back.
void releaseStopSignals();
// The signal that asked to stop, or 0.
int stopSignal();

} // namespace platform
} // namespace zv

#endif
