#include <zelvra/network/EventNetwork.h>

#include <zelvra/core/LogManager.h>

namespace zv {

EventNetwork::EventNetwork(int init_label) : label(NETWORK_UNDEFINED), socket_index(-1), bytes(0) {
  setType(NETWORK_EVENT);
  setLabel(init_label);
}

EventNetwork::~EventNetwork() {}

void EventNetwork::setLabel(int new_label) {
  if (new_label < NETWORK_UNDEFINED || new_label > NETWORK_DATA) {
    LogManager::getInstance().writeLog("EventNetwork::setLabel(): Undefined type (%d).", new_label);
    label = NETWORK_UNDEFINED;
    return;
  }
  label = new_label;
}

int EventNetwork::getLabel() const { return label; }
void EventNetwork::setSocketIndex(int new_socket_index) { socket_index = new_socket_index; }
int EventNetwork::getSocketIndex() const { return socket_index; }
void EventNetwork::setBytes(int new_bytes) { bytes = new_bytes; }
int EventNetwork::getBytes() const { return bytes; }

} // namespace zv
