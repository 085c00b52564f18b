#include <zelvra/core/Manager.h>

#include <zelvra/core/LogManager.h>
#include <zelvra/world/Object.h>
#include <zelvra/world/ObjectListIterator.h>

namespace zv {

Manager::Manager() : type("Manager"), event_list_count(0), is_started(false) {}
Manager::~Manager() {}

void Manager::setType(std::string new_type) { type = new_type; }
std::string Manager::getType() const { return type; }
bool Manager::isStarted() const { return is_started; }
bool Manager::isValid(std::string) const { return false; }

bool Manager::warnIfStarted() const {
  if (is_started)
    LogManager::getInstance().writeLog("%s::startup(): Warning! %s already started.", type.c_str(), type.c_str());
  return is_started;
}

int Manager::startUp() {
  if (is_started)
    LogManager::getInstance().writeLog(1, "Manager::startUp(): Warning! %s already started.", type.c_str());
  is_started = true;
  return 0;
}

void Manager::shutDown() {
  if (!is_started)
    LogManager::getInstance().writeLog(1, "Manager::shutDown(): Warning! %s not started.", type.c_str());
  is_started = false;
}

int Manager::onEvent(const Event* p_event) const {
  if (!p_event)
    return 0;
  LogManager& log = LogManager::getInstance();
  std::string event_type = p_event->getType();
  if (event_type == UNDEFINED_EVENT) {
    log.writeLog(1, "Manager(%s)::onEvent(): Warning! Event type %s is undefined.", type.c_str(),
                 event_type.c_str());
    return 0;
  }
  if (!isValid(event_type)) {
    log.writeLog(1, "Manager(%s)::onEvent(): Error! Event type %s not valid.", type.c_str(),
                 event_type.c_str());
    return 0;
  }
  int count = 0;
  for (int i = 0; i < event_list_count; i++) {
    if (event[i] != event_type)
      continue;
    // Handlers may register, unregister, create or delete objects.
    ObjectList copy = obj_list[i];
    ObjectListIterator li(&copy);
    for (li.first(); !li.isDone(); li.next()) {
      Object* p_o = li.currentObject();
      if (p_o->isActive()) {
        p_o->eventHandler(p_event);
        count++;
      }
    }
  }
  return count;
}

int Manager::registerInterest(Object* p_o, std::string event_type) {
  if (!isValid(event_type)) {
    LogManager::getInstance().writeLog("Manager(%s)::registerInterest(): Event '%s' not valid for this Manager",
                                       type.c_str(), event_type.c_str());
    return -1;
  }
  for (int i = 0; i < event_list_count; i++) {
    if (event[i] == event_type)
      return obj_list[i].insert(p_o);
  }
  if (event_list_count == MAX_EVENTS)
    return -1;
  event[event_list_count] = event_type;
  obj_list[event_list_count].clear();
  if (obj_list[event_list_count].insert(p_o) != 0)
    return -1;
  event_list_count++;
  return 0;
}

int Manager::unregisterInterest(Object* p_o, std::string event_type) {
  for (int i = 0; i < event_list_count; i++) {
    if (event[i] != event_type)
      continue;
    if (obj_list[i].remove(p_o) != 0)
      return -1;
    if (obj_list[i].isEmpty()) {
      for (int j = i; j < event_list_count - 1; j++) {
        event[j] = event[j + 1];
        obj_list[j] = obj_list[j + 1];
      }
      event_list_count--;
    }
    return 0;
  }
  return -1;
}

} // namespace zv
