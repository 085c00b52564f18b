#include <zelvra/display/ViewObject.h>

#include <cctype>
#include <cstdlib>

#include <zelvra/core/LogManager.h>
#include <zelvra/core/Match.h>
#include <zelvra/core/Utility.h>
#include <zelvra/display/DisplayManager.h>
#include <zelvra/display/EventView.h>
#include <zelvra/world/WorldManager.h>

namespace zv {

namespace {

const char* const VIEW_SELECTORS[VIEW_ATTRIBUTE_COUNT] = {
    "VIEW_STRING,", "VALUE,", "BORDER,", "COLOR,", "LOCATION,", "DRAW_VALUE,",
};

std::string pair(const std::string& key, const std::string& value) { return key + ":" + value + ","; }

// Lower case without blanks: the matcher drops blanks, so "Unknown color"
// comes back as "Unknowncolor".
std::string folded(const std::string& text) {
  std::string out;
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c)))
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// A colour written by serialize (its name) or given as its number 0 to 8;
// false for anything else.
bool readColor(const std::string& text, Color& color) {
  std::string key = folded(text);
  for (int c = BLACK; c <= CUSTOM; c++) {
    if (key == folded(colorToString(static_cast<Color>(c)))) {
      color = static_cast<Color>(c);
      return true;
    }
  }
  if (key.empty() || key.size() > 2)
    return false;
  for (char ch : key)
    if (!std::isdigit(static_cast<unsigned char>(ch)))
      return false;
  int number = atoi(key.c_str());
  if (number < BLACK || number > CUSTOM)
    return false;
  color = static_cast<Color>(number);
  return true;
}

} // namespace

ViewObject::ViewObject()
    : view_string(""), value(0), draw_value(true), border(true), color(WHITE), location(TOP_CENTER) {
  setSolidness(SPECTRAL);
  setAltitude(MAX_ALTITUDE);
  setType("ViewObject");
  setLocation(TOP_CENTER);
  for (bool& flag : view_modified)
    flag = true;
  registerInterest(VIEW_EVENT);
}

ViewObject::~ViewObject() {}

void ViewObject::setViewString(std::string new_view_string) {
  if (new_view_string != view_string)
    view_modified[VIEW_STRING] = true;
  view_string = new_view_string;
}

std::string ViewObject::getViewString() const { return view_string; }

void ViewObject::setValue(int new_value) {
  if (new_value != value)
    view_modified[VALUE] = true;
  value = new_value;
}

int ViewObject::getValue() const { return value; }

void ViewObject::setBorder(bool new_border) {
  if (new_border == border)
    return;
  border = new_border;
  view_modified[BORDER] = true;
  if (location != LOCATION_NONE)
    setLocation(location);
}

bool ViewObject::getBorder() const { return border; }

void ViewObject::setColor(Color new_color) {
  if (new_color != color)
    view_modified[COLOR] = true;
  color = new_color;
}

Color ViewObject::getColor() const { return color; }

void ViewObject::setDrawValue(bool new_draw_value) { draw_value = new_draw_value; }

bool ViewObject::getDrawValue() const { return draw_value; }

int ViewObject::setLocation(ViewLocation new_location) {
  Box view = WorldManager::getInstance().getView();
  float w = view.getHorizontal();
  float h = view.getVertical();
  float x = 0, y = 0;
  switch (new_location) {
    case TOP_LEFT:
    case CENTER_LEFT:
    case BOTTOM_LEFT:
      x = w * 1.0f / 6.0f;
      break;
    case TOP_CENTER:
    case BOTTOM_CENTER:
      x = w * 3.0f / 6.0f;
      break;
    case CENTER_CENTER:
      x = w * 0.5f;
      break;
    case TOP_RIGHT:
    case CENTER_RIGHT:
    case BOTTOM_RIGHT:
      x = w * 5.0f / 6.0f;
      break;
    default:
      LogManager::getInstance().writeLog("ViewObject::setLocation(): Warning! Location out of range (%d). Ignored.",
                                         static_cast<int>(new_location));
      return -1;
  }
  switch (new_location) {
    case TOP_LEFT:
    case TOP_CENTER:
    case TOP_RIGHT:
      y = border ? 1.0f : 0.0f;
      break;
    case CENTER_LEFT:
    case CENTER_CENTER:
    case CENTER_RIGHT:
      y = border ? h * 0.5f : h * 0.5f - 1.0f;
      break;
    default:
      y = border ? h - 2.0f : h - 1.0f;
      break;
  }
  setPosition(Vector(x, y));
  location = new_location;
  view_modified[LOCATION] = true;
  return 0;
}

ViewLocation ViewObject::getLocation() const { return location; }

int ViewObject::setPosition(Vector new_position) {
  if (new_position == getPosition())
    return 0;
  location = LOCATION_NONE;
  int result = Object::setPosition(new_position);
  view_modified[LOCATION] = true;
  return result;
}

int ViewObject::eventHandler(const Event* p_e) {
  if (p_e->getType() != VIEW_EVENT)
    return Object::eventHandler(p_e);
  const EventView* p_ve = dynamic_cast<const EventView*>(p_e);
  if (!p_ve) {
    LogManager::getInstance().writeLog("ViewObject::eventHandler(): Error! Dynamic cast to EventView failed.");
    return 0;
  }
  if (p_ve->getTag() != view_string)
    return 0;
  setValue(p_ve->getDelta() ? value + p_ve->getValue() : p_ve->getValue());
  return 1;
}

int ViewObject::draw() {
  std::string text;
  if (border)
    text = " " + view_string + " ";
  else
    text = view_string;
  if (draw_value)
    text += (border ? "" : " ") + toString(value) + (border ? " " : "");

  DisplayManager& display = DisplayManager::getInstance();
  Vector pos = viewToWorld(getPosition());
  int result = display.drawText(pos, text, ALIGN_CENTER, color);
  if (border) {
    int n = static_cast<int>(text.size());
    std::string line(static_cast<std::size_t>(n), '-');
    result += display.drawText(Vector(pos.getX(), pos.getY() - 1), line, ALIGN_CENTER, color);
    result += display.drawText(Vector(pos.getX(), pos.getY() + 1), line, ALIGN_CENTER, color);
    float left = pos.getX() - static_cast<float>(n / 2) - 1;
    result += display.drawCharacter(Vector(left, pos.getY()), '|', color);
    result += display.drawCharacter(Vector(left + static_cast<float>(n) + 1, pos.getY()), '|', color);
  }
  return result;
}

std::string ViewObject::serialize(std::string attributes) {
  LogManager::getInstance().writeLog(25, "ViewObject::serialize(): attr is '%s'", attributes.c_str());
  std::string text = Object::serialize(attributes);
  bool all = attributes == "ALL";
  for (int i = 0; i < VIEW_ATTRIBUTE_COUNT; i++) {
    bool selected = all || (attributes.empty() && view_modified[i]) ||
                    (!attributes.empty() && attributes.find(VIEW_SELECTORS[i]) != std::string::npos);
    if (!selected)
      continue;
    switch (i) {
      case VIEW_STRING:
        text += pair("view_string", view_string);
        break;
      case VALUE:
        text += pair("view_value", toString(value));
        break;
      case BORDER:
        text += pair("view_border", boolToString(border));
        break;
      case COLOR:
        text += pair("view_color", colorToString(color));
        break;
      case LOCATION:
        text += pair("view_location", toString(static_cast<int>(location)));
        break;
      case DRAW_VALUE:
        text += pair("view_draw_value", boolToString(draw_value));
        break;
    }
    view_modified[i] = false;
  }
  return text;
}

int ViewObject::deserialize(std::string text) {
  int result = Object::deserialize(text);
  if (text.empty())
    return result;
  LogManager& log = LogManager::getInstance();
  // Parse again: the object's part may have left another text in the matcher.
  std::string found = match(text, "view_string");
  if (!found.empty()) {
    log.writeLog(10, "ViewObject::deserialize(): view_string is %s", found.c_str());
    setViewString(found);
  }
  if (!(found = match("", "view_value")).empty()) {
    int new_value = atoi(found.c_str());
    log.writeLog(10, "ViewObject::deserialize(): value is %d", new_value);
    setValue(new_value);
  }
  if (!(found = match("", "view_border")).empty()) {
    log.writeLog(10, "ViewObject::deserialize(): border is %s", found.c_str());
    setBorder(found == "true");
  }
  if (!(found = match("", "view_color")).empty()) {
    Color new_color = color;
    if (readColor(found, new_color)) {
      log.writeLog(10, "ViewObject::deserialize(): color is %d", static_cast<int>(new_color));
      setColor(new_color);
    } else {
      log.writeLog("ViewObject::deserialize(): Warning! Unknown color '%s'. Ignored.", found.c_str());
    }
  }
  if (!(found = match("", "view_location")).empty()) {
    int new_location = atoi(found.c_str());
    log.writeLog(10, "ViewObject::deserialize(): location is %d", new_location);
    setLocation(static_cast<ViewLocation>(new_location));
  }
  if (!(found = match("", "view_draw_value")).empty()) {
    log.writeLog(10, "ViewObject::deserialize(): draw_value is %s", found.c_str());
    draw_value = found == "true";
  }
  return result;
}

bool ViewObject::isViewObject() const { return true; }

bool ViewObject::isModified() const {
  LogManager& log = LogManager::getInstance();
  for (int i = 0; i < VIEW_ATTRIBUTE_COUNT; i++) {
    log.writeLog(10, "ViewObject::isModified(): %d is %s", i, view_modified[i] ? "true" : "false");
    if (view_modified[i])
      return true;
  }
  return Object::isModified();
}

bool ViewObject::isModified(ViewObjectAttribute attribute) const {
  int i = static_cast<int>(attribute);
  if (i < 0 || i >= VIEW_ATTRIBUTE_COUNT)
    return false;
  return view_modified[i];
}

} // namespace zv
