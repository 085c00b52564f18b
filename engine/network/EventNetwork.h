// What happened on a connection: accepted, closed, or a whole message
// waiting to be read.
#ifndef ZV_EVENT_NETWORK_H
#define ZV_EVENT_NETWORK_H

#include <zelvra/core/Event.h>
#include <zelvra/network/Message.h>  // games that read these events find the framing here too

namespace zv {

enum NetworkLabel : int {
  NETWORK_UNDEFINED = -1,
  NETWORK_ACCEPT = 0,
  NETWORK_RESERVED = 1,  // valid, produced by nothing in the engine
  NETWORK_CLOSE = 2,
  NETWORK_DATA = 3,
};

class EventNetwork : public Event {
 private:
  int label;
  int socket_index;
  int bytes;

 public:
  // A label outside -1 to 3 is logged and stored as -1.
  explicit EventNetwork(int init_label);
  ~EventNetwork() override;

  void setLabel(int new_label);
  int getLabel() const;
  void setSocketIndex(int new_socket_index);
  int getSocketIndex() const;
  void setBytes(int new_bytes);
  int getBytes() const;
};

} // namespace zv

#endif
