// Events: small values whose type is a text name.
#ifndef ZV_EVENT_H
#define ZV_EVENT_H

#include <string>

namespace zv {

inline const std::string UNDEFINED_EVENT = "zv-undefined";
inline const std::string STEP_EVENT = "zv-step";
inline const std::string COLLISION_EVENT = "zv-collision";
inline const std::string OUT_EVENT = "zv-out";
inline const std::string KEYBOARD_EVENT = "zv-keyboard";
inline const std::string MOUSE_EVENT = "zv-mouse";
inline const std::string VIEW_EVENT = "zv-view";
inline const std::string PATH_EVENT = "zv-path";
inline const std::string NETWORK_EVENT = "zv-network";
inline const std::string CUSTOM_NETWORK_EVENT = "zv-custom-network";
inline const std::string KEYBOARD_NETWORK_EVENT = "zv-keyboard-network";
inline const std::string MOUSE_NETWORK_EVENT = "zv-mouse-network";

class Event {
 private:
  std::string event_type;

 public:
  Event();
  virtual ~Event();
  void setType(std::string new_type);
  std::string getType() const;
};

} // namespace zv

#endif
