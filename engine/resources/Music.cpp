#include <zelvra/resources/Music.h>

#include <zelvra/core/LogManager.h>

namespace zv {

Music::Music() : label("[Undefined]") {}

void Music::setLabel(std::string new_label) { label = new_label; }
std::string Music::getLabel() const { return label; }

void Music::stop() {
  LogManager::getInstance().writeLog(5, "Music::stop(): Stopping music.");
  music.stop();
}

} // namespace zv
