#include <zelvra/resources/SpriteFile.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include <zelvra/core/Color.h>
#include <zelvra/core/LogManager.h>

namespace zv {

namespace {

int line_count = 0;

const char* const COLOR_NAMES[] = {"black", "red", "green", "yellow", "blue", "magenta", "cyan", "white"};
const int COLOR_NAME_COUNT = 8;

// The colour of a lower-case name, or -1.
int colorFromName(const std::string& text) {
  for (int i = 0; i < COLOR_NAME_COUNT; i++)
    if (text == COLOR_NAMES[i])
      return i;
  return -1;
}

// What follows the key and one separator character. A bare key has no
// value: false, as if the line were not there.
bool valueAfterKey(const std::string& line, std::size_t key_length, std::string* p_value) {
  if (line.size() <= key_length) {
    p_value->clear();
    return false;
  }
  *p_value = line.substr(key_length + 1);
  return true;
}

bool startsWith(const std::string& line, const char* key) {
  std::size_t key_length = strlen(key);
  return line.size() >= key_length && line.compare(0, key_length, key) == 0;
}

} // namespace

void setSpriteLineCount(int count) { line_count = count; }
int getSpriteLineCount() { return line_count; }

std::string getLine(std::ifstream* p_file, bool count) {
  std::string line;
  std::getline(*p_file, line);
  if (!p_file->good()) {
    LogManager::getInstance().writeLog("getLine(): Error! Unexpected end of file.");
    return "";
  }
  if (!line.empty() && line.back() == '\r')
    line.pop_back();
  if (count)
    line_count++;
  return line;
}

SpriteLines readData(std::ifstream* p_file, std::string tag) {
  LogManager& log = LogManager::getInstance();
  std::string begin = "<" + tag + ">";
  std::string end = "</" + tag + ">";
  SpriteLines data;

  std::string line = getLine(p_file, true);
  if (line != begin) {
    log.writeLog("readData(): Error line %d! Expected '%s', have '%s'.", line_count, begin.c_str(), line.c_str());
    return SpriteLines();
  }
  // The first line inside is read uncounted; the count catches up at the end tag.
  line = getLine(p_file, false);
  while (line != end) {
    if (line.empty()) {
      log.writeLog("readData(): Error! Never encountered '%s'.", end.c_str());
      return SpriteLines();
    }
    data.push_back(line);
    line = getLine(p_file, true);
  }
  line_count++;
  return data;
}

int matchLineInt(SpriteLines* p_lines, const char* key) {
  int number = -1;
  SpriteLines kept;
  for (std::string& line : *p_lines) {
    if (!startsWith(line, key)) {
      kept.push_back(std::move(line));
      continue;
    }
    if (number != -1)
      LogManager::getInstance().writeLog(1, "matchLineInt(): Warning! '%s' matches multiple lines.", line.c_str());
    std::string value;
    number = valueAfterKey(line, strlen(key), &value) ? atoi(value.c_str()) : -1;
  }
  p_lines->swap(kept);
  return number;
}

std::string matchLineStr(SpriteLines* p_lines, const char* key) {
  std::string text;
  SpriteLines kept;
  for (std::string& line : *p_lines) {
    if (!startsWith(line, key)) {
      kept.push_back(std::move(line));
      continue;
    }
    if (!text.empty())
      LogManager::getInstance().writeLog(1, "matchLineStr(): Warning! '%s' matches multiple lines.", line.c_str());
    valueAfterKey(line, strlen(key), &text);
  }
  p_lines->swap(kept);
  return text;
}

Frame readFrame(SpriteLines* p_lines, int width, int height, int line_number) {
  LogManager& log = LogManager::getInstance();
  std::string frame_str;
  int n = line_number;
  for (int row = 0; row < height; row++) {
    if (p_lines->empty()) {
      log.writeLog("\tError! Line %d: No more frame data before 'end'.", n + 1);
      return Frame();
    }
    std::string line = p_lines->front();
    n++;
    log.writeLog(20, "\tLine %2d: '%s'", n, line.c_str());
    if (static_cast<long long>(line.size()) != width) {
      log.writeLog("\tError! Line %d: Line length is %d (frame width is %d).", n, static_cast<int>(line.size()),
                   width);
      log.writeLog("\tLine %d: '%s'", n, line.c_str());
      return Frame();
    }
    frame_str += line;
    p_lines->pop_front();
  }
  if (p_lines->empty()) {
    log.writeLog("\tError! Line %d: No more frame data before 'end'.", n + 1);
    return Frame();
  }
  if (p_lines->front() != "end") {
    log.writeLog("\tError! Line %d: Expected '%s'.", n + 1, "end");
    log.writeLog("\tLine %d: '%s'", n + 1, p_lines->front().c_str());
    return Frame();
  }
  p_lines->pop_front();
  return Frame(width, height, frame_str);
}

Sprite* loadSimpleSprite(std::ifstream* p_file) {
  LogManager& log = LogManager::getInstance();
  const char* const missing[] = {
      "\tMissing frames (an integer).",   "\tMissing width (an integer).",  "\tMissing height (an integer).",
      "\tMissing slowdown (an integer).", "\tMissing color (a string).",
  };
  std::string header[5];
  for (int i = 0; i < 5; i++) {
    header[i] = getLine(p_file, true);
    log.writeLog(20, "\tLine %2d: '%s'", line_count, header[i].c_str());
    if (header[i].empty()) {
      log.writeLog("RM::loadSimpleSprite(): Error! Unexpected end of file.");
      log.writeLog("%s", missing[i]);
      return nullptr;
    }
    int number = atoi(header[i].c_str());
    switch (i) {
      case 0:
        if (number < 1) {
          log.writeLog("RM::loadSimpleSprite(): Error line %d! Number of frames is %d.", line_count, number);
          return nullptr;
        }
        break;
      case 1:
        if (number < 1) {
          log.writeLog("RM::loadSimpleSprite(): Error line %d! Width is '%s'.", line_count, header[i].c_str());
          return nullptr;
        }
        break;
      case 2:
        if (number < 1) {
          log.writeLog("RM::loadSimpleSprite(): Error line %d! Height is '%s'.", line_count, header[i].c_str());
          return nullptr;
        }
        break;
      case 3:
        if (number < 0) {
          log.writeLog("RM::loadSimpleSprite(): Error line %d! Slowdown is '%s'.", line_count, header[i].c_str());
          return nullptr;
        }
        break;
      case 4:
        if (colorFromName(header[i]) == -1) {
          log.writeLog("RM::loadSimpleSprite(): Error line %d! Unrecognized color '%s'.", line_count,
                       header[i].c_str());
          log.writeLog("  Valid colors are: black, red, green, yellow,");
          log.writeLog("                    blue, magenta, cyan or white.");
          return nullptr;
        }
        break;
    }
  }
  int frames = atoi(header[0].c_str());
  int width = atoi(header[1].c_str());
  int height = atoi(header[2].c_str());
  int slowdown = atoi(header[3].c_str());
  Color color = static_cast<Color>(colorFromName(header[4]));

  log.writeLog(5, "\t      Frames: %d", frames);
  log.writeLog(5, "\t       Width: %d", width);
  log.writeLog(5, "\t      Height: %d", height);
  log.writeLog(5, "\t    Slowdown: %d", slowdown);
  log.writeLog(5, "\t       Color: %s", colorToString(color).c_str());

  std::unique_ptr<Sprite> p_sprite(new (std::nothrow) Sprite(frames));
  if (!p_sprite) {
    log.writeLog("RM::loadSimpleSprite(): Error! Unable to create Sprite.");
    return nullptr;
  }
  p_sprite->setWidth(width);
  p_sprite->setHeight(height);
  p_sprite->setSlowdown(slowdown);
  p_sprite->setColor(color);
  p_sprite->setTransparency(0);

  for (int f = 1; f <= frames; f++) {
    log.writeLog(15, "RM::loadSimpleSprite(): Reading frame %d of %d.", f, frames);
    std::string frame_str;
    for (int r = 1; r <= height; r++) {
      std::string line = getLine(p_file, true);
      if (line.empty()) {
        log.writeLog("RM::loadSimpleSprite(): Error! Unexpected end of file.");
        log.writeLog("\tReading frame %d of %d, row %d of %d.", f, frames, r, height);
        return nullptr;
      }
      if (static_cast<long long>(line.size()) != width) {
        log.writeLog("RM::loadSimpleSprite(): Error line %d!", line_count);
        log.writeLog("\tLine %2d: '%s'", line_count, line.c_str());
        log.writeLog("\tWidth is %d, expected %d.", static_cast<int>(line.size()), width);
        return nullptr;
      }
      log.writeLog(20, "\tLine %2d: '%s'", line_count, line.c_str());
      frame_str += line;
    }
    if (p_sprite->addFrame(Frame(width, height, frame_str)) != 0) {
      log.writeLog("RM::loadSimpleSprite(): Error! Cannot add Frame.");
      log.writeLog("\tFramecount is %d, max is %d.", p_sprite->getFrameCount() + 1, frames);
      return nullptr;
    }
  }

  // The file must end right after the last frame.
  std::string rest;
  std::getline(*p_file, rest);
  line_count++;
  if (p_file->eof() && rest.empty())
    return p_sprite.release();
  if (!rest.empty() && rest.back() == '\r')
    rest.pop_back();
  log.writeLog("RM::loadSimpleSprite(): Error line %d!", line_count);
  log.writeLog("\tExtra file data: '%s'", rest.c_str());
  return nullptr;
}

Sprite* loadRobustSprite(std::ifstream* p_file) {
  LogManager& log = LogManager::getInstance();
  SpriteLines header = readData(p_file, "HEADER");
  if (header.empty())
    return nullptr;
  log.writeLog(20, "\tAfter reading header: line number is '%d'", line_count);

  int frames = matchLineInt(&header, "frames");
  int width = matchLineInt(&header, "width");
  int height = matchLineInt(&header, "height");
  const char* missing = frames == -1 ? "frames" : width == -1 ? "width" : height == -1 ? "height" : nullptr;
  if (missing) {
    log.writeLog("RM::loadRobustSprite(): Error! Missing '%s' in header.", missing);
    return nullptr;
  }
  std::string color_text = matchLineStr(&header, "color");
  if (color_text.empty()) {
    log.writeLog(5, "RM::loadRobustSprite(): Warning! No '%s' in header.", "color");
    color_text = "default";
  }
  std::string transparency_text = matchLineStr(&header, "transparency");
  char transparency = 0;
  if (transparency_text.empty())
    log.writeLog(5, "RM::loadRobustSprite(): Note! No '%s' in header.", "transparency");
  else
    transparency = transparency_text[0];
  int slowdown = matchLineInt(&header, "slowdown");
  if (slowdown == -1) {
    log.writeLog(5, "RM::loadRobustSprite(): Note! No '%s' in header.", "slowdown");
    slowdown = 0;
  }
  if (!header.empty()) {
    log.writeLog(1, "RM::loadRobustSprite(): Warning! Unused HEADER lines:");
    for (const std::string& line : header)
      log.writeLog(1, "\t'%s'", line.c_str());
  }

  log.writeLog(5, "\t      Frames: %d", frames);
  log.writeLog(5, "\t       Width: %d", width);
  log.writeLog(5, "\t      Height: %d", height);
  log.writeLog(5, "\t    Slowdown: %d", slowdown);
  if (transparency)
    log.writeLog(5, "\tTransparency: %c", transparency);
  else
    log.writeLog(5, "\tTransparency: (none)");

  int body_start = line_count;
  SpriteLines body = readData(p_file, "BODY");
  if (body.empty())
    return nullptr;
  log.writeLog(20, "\tAfter reading body: line number is '%d'", line_count);

  std::unique_ptr<Sprite> p_sprite(new (std::nothrow) Sprite(frames));
  if (!p_sprite) {
    log.writeLog("RM::loadRobustSprite(): Error! Unable to create Sprite.");
    return nullptr;
  }
  p_sprite->setWidth(width);
  p_sprite->setHeight(height);
  p_sprite->setSlowdown(slowdown);
  p_sprite->setTransparency(transparency);

  int color = color_text == "default" ? COLOR_DEFAULT : colorFromName(color_text);
  if (color == -1) {
    log.writeLog("RM::loadRobustSprite(): Error! Unrecognized color '%s'.", color_text.c_str());
    log.writeLog("  Valid colors are: black, red, green, yellow,");
    log.writeLog("                    blue, magenta, cyan and white.");
    return nullptr;
  }
  p_sprite->setColor(static_cast<Color>(color));
  log.writeLog(5, "\t       Color: %s", colorToString(static_cast<Color>(color)).c_str());

  int n = body_start + 2;
  for (int i = 0; i < frames; i++) {
    Frame frame = readFrame(&body, width, height, n);
    if (frame.getString().empty()) {
      log.writeLog("RM::loadRobustSprite(): Error! No frame data to add.");
      return nullptr;
    }
    if (p_sprite->addFrame(frame) != 0) {
      log.writeLog("RM::loadRobustSprite(): Error! Cannot add Frame.");
      log.writeLog("\tFramecount is %d, max is %d", p_sprite->getFrameCount() + 1, frames);
      return nullptr;
    }
    n += height;
  }
  if (!body.empty()) {
    log.writeLog(1, "RM::loadRobustSprite(): Error! Extra BODY:");
    for (const std::string& line : body)
      log.writeLog(1, "\tLine %d: %s", line_count++, line.c_str());
    return nullptr;
  }

  SpriteLines footer = readData(p_file, "FOOTER");
  if (footer.empty())
    return nullptr;
  std::string version = matchLineStr(&footer, "version");
  if (version.empty()) {
    log.writeLog("RM::loadRobustSprite(): Error! Missing '%s' in FOOTER (line %d).", "version", line_count);
    return nullptr;
  }
  if (!footer.empty()) {
    log.writeLog(1, "RM::loadRobustSprite(): Warning! Unused FOOTER lines:");
    for (const std::string& line : footer)
      log.writeLog(1, "\t'%s'", line.c_str());
  }
  return p_sprite.release();
}

} // namespace zv
