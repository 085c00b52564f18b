// Object state as key:value text and back, with the per-attribute change flags.
#include <cctype>
#include <cstdlib>
#include <set>
#include <vector>
#include <string>

#include <zelvra/core/Color.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/core/Match.h>
#include <zelvra/core/Utility.h>
#include <zelvra/world/Object.h>

namespace zv {

namespace {

const char* const SELECTORS[ATTRIBUTE_COUNT] = {
    "ID,",       "ACTIVE,",    "VISIBLE,", "EVENTS,",       "BOX,",   "POSITION,",
    "TYPE,",     "ANIMATION,", "ALTITUDE,", "SOLIDNESS,",   "NO_SOFT,", "SPEED,",
    "DIRECTION,", "ACCELERATION,", "SHAPE,", "PATH,", "FOLLOW_PATH,", "AVOID_COLLISIONS,",
};

// The order attributes are written in (direction before speed, follow_path before path).
const ObjectAttribute WRITE_ORDER[ATTRIBUTE_COUNT] = {
    ID,        ACTIVE,    VISIBLE,   EVENTS,    BOX,          POSITION, TYPE,        ANIMATION, ALTITUDE,
    SOLIDNESS, NO_SOFT,   DIRECTION, SPEED,     ACCELERATION, SHAPE,    FOLLOW_PATH, PATH,      AVOID_COLLISIONS,
};

std::string pair(const std::string& key, const std::string& value) { return key + ":" + value + ","; }

// Indices i of the "event_name[i]" keys present in the text, ascending, so
// that a huge event_count costs nothing for the names that are not there.
std::set<long> eventNameIndices(const std::string& text) {
  std::set<long> indices;
  const std::string prefix = "event_name[";
  std::string::size_type pos = 0;
  while ((pos = text.find(prefix, pos)) != std::string::npos) {
    pos += prefix.size();
    std::string::size_type end = pos;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9' && end - pos < 10)
      end++;
    if (end > pos && end < text.size() && text[end] == ']')
      indices.insert(strtol(text.substr(pos, end - pos).c_str(), nullptr, 10));
  }
  return indices;
}

// The value of key as written, spaces kept: the matcher drops all white
// space, but a path separates x and y by a space.
std::string rawValue(const std::string& text, const std::string& key) {
  std::string::size_type start = 0;
  while (start <= text.size()) {
    std::string::size_type comma = text.find(',', start);
    if (comma == std::string::npos)
      comma = text.size();
    std::string entry = text.substr(start, comma - start);
    std::string::size_type colon = entry.find(':');
    if (colon != std::string::npos) {
      std::string entry_key;
      for (char c : entry.substr(0, colon))
        if (!isspace(static_cast<unsigned char>(c)))
          entry_key += c;
      if (entry_key == key) {
        std::string value = entry.substr(colon + 1);
        std::string::size_type first = value.find_first_not_of(" \t\r\n\v\f");
        std::string::size_type last = value.find_last_not_of(" \t\r\n\v\f");
        return first == std::string::npos ? "" : value.substr(first, last - first + 1);
      }
    }
    start = comma + 1;
  }
  return "";
}

// A colour as written (its name), else its number as atoi reads it.
Color colorFromText(const std::string& text) {
  for (int c = BLACK; c <= WHITE; c++)
    if (text == colorToString(static_cast<Color>(c)))
      return static_cast<Color>(c);
  return static_cast<Color>(atoi(text.c_str()));
}

} // namespace

std::string Object::serialize(std::string attributes) {
  LogManager& log = LogManager::getInstance();
  log.writeLog(20, "Object::serialize(): attr is '%s'", attributes.c_str());
  bool all = attributes == "ALL";
  if (!attributes.empty() && !all && attributes.back() != ',')
    log.writeLog("Object::serialize(): Warning! Attribute '%s' missing trailing ','", attributes.c_str());

  std::string text;
  for (ObjectAttribute attribute : WRITE_ORDER) {
    bool selected = all || (attributes.empty() && isModified(attribute)) ||
                    (!attributes.empty() && attributes.find(SELECTORS[attribute]) != std::string::npos);
    if (!selected)
      continue;
    switch (attribute) {
      case ID:
        text += pair("id", toString(id));
        break;
      case ACTIVE:
        text += pair("is_active", boolToString(is_active));
        break;
      case VISIBLE:
        text += pair("is_visible", boolToString(is_visible));
        break;
      case EVENTS:
        text += pair("event_count", toString(event_count));
        for (int i = 0; i < event_count; i++)
          text += pair("event_name[" + toString(i) + "]", event_name[i]);
        break;
      case BOX:
        text += pair("box-corner-x", toString(box.getCorner().getX()));
        text += pair("box-corner-y", toString(box.getCorner().getY()));
        text += pair("box-horizontal", toString(box.getHorizontal()));
        text += pair("box-vertical", toString(box.getVertical()));
        break;
      case POSITION:
        text += pair("pos-x", toString(position.getX()));
        text += pair("pos-y", toString(position.getY()));
        break;
      case TYPE:
        text += pair("type", type);
        break;
      case ANIMATION:
        // The animation tracks its own changes: only what changed there is written.
        text += animation.serialize("");
        break;
      case ALTITUDE:
        text += pair("altitude", toString(altitude));
        break;
      case SOLIDNESS:
        text += pair("solidness", toString(static_cast<int>(solidness)));
        break;
      case NO_SOFT:
        text += pair("no_soft", boolToString(no_soft));
        break;
      case DIRECTION:
        text += pair("x_direction", toString(direction.getX()));
        text += pair("y_direction", toString(direction.getY()));
        break;
      case SPEED:
        text += pair("speed", toString(speed));
        break;
      case ACCELERATION:
        text += pair("x_acceleration", toString(acceleration.getX()));
        text += pair("y_acceleration", toString(acceleration.getY()));
        break;
      case SHAPE:
        text += pair("shape", toString(shape.getType()));
        text += pair("size", toString(shape.getSize()));
        text += pair("color", colorToString(shape.getColor()));
        text += pair("opacity", toString(static_cast<int>(shape.getOpacity())));
        break;
      case FOLLOW_PATH:
        text += pair("follow_path", boolToString(follow_path));
        break;
      case PATH: {
        std::string nodes;
        for (const Vector& node : path.getNodes())
          nodes += toString(node.getX()) + " " + toString(node.getY()) + "|";
        text += pair("path", nodes);
        text += pair("path_index", toString(path.getIndex()));
        break;
      }
      case AVOID_COLLISIONS:
        text += pair("avoid_collisions", boolToString(avoid_collisions));
        break;
    }
    modified[attribute] = false;
  }
  return text;
}

int Object::deserialize(std::string text) {
  // An empty text would apply the matcher's previous parse, whoever made it.
  if (text.empty())
    return 0;
  LogManager& log = LogManager::getInstance();
  std::string value = match(text, "id");
  if (!value.empty()) {
    log.writeLog(20, "Object::deserialize(): id is %d", atoi(value.c_str()));
    setId(atoi(value.c_str()));
  }
  if (!(value = match("", "is_active")).empty()) {
    log.writeLog(20, "Object::deserialize(): is_active is %s", value.c_str());
    setActive(value == "true");
  }
  if (!(value = match("", "is_visible")).empty()) {
    log.writeLog(20, "Object::deserialize(): is_visible is %s", value.c_str());
    setVisible(value == "true");
  }
  if (!(value = match("", "event_count")).empty()) {
    for (int i = event_count - 1; i >= 0; i--) {
      std::string name = event_name[i];
      unregisterInterest(name);
    }
    long count = atoi(value.c_str());
    log.writeLog(20, "Object::deserialize(): event_count is %ld", count);
    for (long i : eventNameIndices(text)) {
      if (i >= count)
        break;
      std::string name = match("", "event_name[" + std::to_string(i) + "]");
      if (name.empty())
        continue;
      log.writeLog(20, "Object::deserialize(): event_name[%ld] is '%s'", i, name.c_str());
      registerInterest(name);
    }
  }

  // The box is written as floats; reading it as floats brings it back unchanged.
  std::string bx = match("", "box-corner-x"), by = match("", "box-corner-y");
  std::string bh = match("", "box-horizontal"), bv = match("", "box-vertical");
  if (!bx.empty())
    log.writeLog(20, "Object::deserialize(): box-corner-x is %d", atoi(bx.c_str()));
  if (!by.empty())
    log.writeLog(20, "Object::deserialize(): box-corner-y is %d", atoi(by.c_str()));
  if (!bh.empty())
    log.writeLog(20, "Object::deserialize(): box-horizontal is %d", atoi(bh.c_str()));
  if (!bv.empty())
    log.writeLog(20, "Object::deserialize(): box-vertical is %d", atoi(bv.c_str()));
  if (!bx.empty() && !by.empty() && !bh.empty() && !bv.empty())
    setBox(Box(Vector(static_cast<float>(atof(bx.c_str())), static_cast<float>(atof(by.c_str()))),
               static_cast<float>(atof(bh.c_str())), static_cast<float>(atof(bv.c_str()))));
  else
    log.writeLog(20, "Object::deserialize(): box not complete, so ignoring.");

  std::string px = match("", "pos-x"), py = match("", "pos-y");
  if (!px.empty())
    log.writeLog(20, "Object::deserialize(): pos-x is %.2f", atof(px.c_str()));
  if (!py.empty())
    log.writeLog(20, "Object::deserialize(): pos-y is %.2f", atof(py.c_str()));
  if (!px.empty() && !py.empty())
    setPosition(Vector(static_cast<float>(atof(px.c_str())), static_cast<float>(atof(py.c_str()))));
  else
    log.writeLog(20, "Object::deserialize(): position not complete, so ignoring.");

  if (!(value = match("", "type")).empty()) {
    log.writeLog(20, "Object::deserialize(): type is %s", value.c_str());
    setType(value);
  }

  animation.deserialize(text);
  // The animation parsed the text again; the lookups below search that parse.

  if (!(value = match("", "altitude")).empty()) {
    log.writeLog(20, "Object::deserialize(): altitude is %d", atoi(value.c_str()));
    setAltitude(atoi(value.c_str()));
  }
  if (!(value = match("", "solidness")).empty()) {
    log.writeLog(20, "Object::deserialize(): solidness is %d", atoi(value.c_str()));
    setSolidness(static_cast<Solidness>(atoi(value.c_str())));
  }
  if (!(value = match("", "no_soft")).empty()) {
    log.writeLog(20, "Object::deserialize(): no_soft is %s", value.c_str());
    setNoSoft(value == "true");
  }
  if (!(value = match("", "x_direction")).empty()) {
    log.writeLog(20, "Object::deserialize(): x_direction is %.2f", atof(value.c_str()));
    // Marked only when y_direction applies the whole vector.
    direction.setX(static_cast<float>(atof(value.c_str())));
  }
  if (!(value = match("", "y_direction")).empty()) {
    log.writeLog(20, "Object::deserialize(): y_direction is %.2f", atof(value.c_str()));
    setVelocity(Vector(direction.getX(), static_cast<float>(atof(value.c_str()))));
  }
  if (!(value = match("", "speed")).empty()) {
    log.writeLog(20, "Object::deserialize(): speed is %.2f", atof(value.c_str()));
    speed = static_cast<float>(atof(value.c_str()));
    modified[SPEED] = true;
  }
  std::string ax = match("", "x_acceleration");
  if (!ax.empty()) {
    log.writeLog(20, "Object::deserialize(): x_acceleration is %.2f", atof(ax.c_str()));
    setAcceleration(Vector(static_cast<float>(atof(ax.c_str())), acceleration.getY()));
  }
  std::string ay = match("", "y_acceleration");
  if (!ay.empty()) {
    log.writeLog(20, "Object::deserialize(): y_acceleration is %.2f", atof(ay.c_str()));
    setAcceleration(Vector(acceleration.getX(), static_cast<float>(atof(ay.c_str()))));
  }

  // The shape changes only when all four of its keys are there.
  Shape new_shape = shape;
  std::string st = match("", "shape"), ss = match("", "size"), sc = match("", "color"), so = match("", "opacity");
  if (!st.empty()) {
    log.writeLog(20, "Object::deserialize(): shape is '%s'", st.c_str());
    new_shape.setType(atoi(st.c_str()));
  }
  if (!ss.empty()) {
    log.writeLog(20, "Object::deserialize(): size is '%s'", ss.c_str());
    new_shape.setSize(static_cast<float>(atof(ss.c_str())));
  }
  if (!sc.empty()) {
    log.writeLog(20, "Object::deserialize(): color is '%s'", sc.c_str());
    new_shape.setColor(colorFromText(sc));
  }
  if (!so.empty()) {
    log.writeLog(20, "Object::deserialize(): opacity is '%s'", so.c_str());
    new_shape.setOpacity(static_cast<unsigned char>(atoi(so.c_str())));
  }
  if (!st.empty() && !ss.empty() && !sc.empty() && !so.empty())
    setShape(new_shape);

  if (!match("", "path").empty()) {
    std::vector<Vector> nodes;
    std::string rest = rawValue(text, "path");
    while (!rest.empty() && rest.find('|') != std::string::npos) {
      std::string::size_type space = rest.find(' ');
      if (space == std::string::npos) {
        log.writeLog("Object::deserialize(): malformed node %s.", rest.c_str());
        log.writeLog("\tNot added.");
        break;
      }
      float x = static_cast<float>(atof(rest.substr(0, space).c_str()));
      float y = static_cast<float>(atof(rest.substr(space + 1).c_str()));
      nodes.push_back(Vector(x, y));
      rest.erase(0, rest.find('|') + 1);
    }
    Path new_path;
    new_path.setNodes(nodes);
    setPath(new_path);
  }

  if (!(value = match("", "follow_path")).empty()) {
    log.writeLog(20, "Object::deserialize(): follow_path is %s", value.c_str());
    setFollowPath(value == "true");
  }
  if (!(value = match("", "avoid_collisions")).empty()) {
    log.writeLog(20, "Object::deserialize(): avoid_collisions is %s", value.c_str());
    setAvoidCollisions(value == "true");
  }
  return 0;
}

bool Object::isModified() const {
  LogManager& log = LogManager::getInstance();
  for (int i = 0; i < ATTRIBUTE_COUNT; i++) {
    bool flag = isModified(static_cast<ObjectAttribute>(i));
    log.writeLog(20, "Object::isModified(): %d is %s", i, flag ? "true" : "false");
    if (flag)
      return true;
  }
  return false;
}

} // namespace zv
