#include <zelvra/core/Match.h>

#include <cctype>
#include <new>
#include <vector>

#include <zelvra/core/LogManager.h>

namespace zv {

namespace {
// Tables of the most recent parse.
std::vector<std::string> keys;
std::vector<std::string> vals;
int num_items = 0;

// Splits at sep, skipping empty pieces (as strtok does).
std::vector<std::string> splitSkippingEmpty(const std::string& text, char sep, bool first_two_only) {
  std::vector<std::string> pieces;
  std::string::size_type pos = 0;
  while (pos < text.size()) {
    std::string::size_type end = text.find(sep, pos);
    if (end == std::string::npos)
      end = text.size();
    if (end > pos) {
      pieces.push_back(text.substr(pos, end - pos));
      if (first_two_only && pieces.size() == 2)
        break;
    }
    pos = end + 1;
  }
  return pieces;
}
} // namespace

std::string match(std::string str, std::string find) {
  LogManager& log = LogManager::getInstance();
  log.writeLog(25, "match(\"%s\", \"%s\")", str.c_str(), find.c_str());

  if (!str.empty()) {
    std::string text;
    text.reserve(str.size());
    for (char c : str)
      if (!std::isspace(static_cast<unsigned char>(c)))
        text += c;

    keys.clear();
    vals.clear();
    num_items = 0;
    std::size_t slots = 1;
    for (char c : text)
      if (c == ',')
        slots++;
    log.writeLog(25, "match(): number of elements allocated is %d", static_cast<int>(slots));
    try {
      keys.reserve(slots);
    } catch (const std::bad_alloc&) {
      log.writeLog("match(): unable to allocate key array!");
      return "";
    }
    try {
      vals.reserve(slots);
    } catch (const std::bad_alloc&) {
      keys.clear();
      log.writeLog("match(): unable to allocate val array!");
      return "";
    }

    std::vector<std::string> pieces;
    try {
      pieces = splitSkippingEmpty(text, ',', false);
    } catch (const std::bad_alloc&) {
      log.writeLog("match(): Unable to call strdup()!");
      return "";
    }
    for (const std::string& piece : pieces) {
      log.writeLog(25, "\titem number %d", num_items);
      log.writeLog(28, "\tp_element is '%s' (%p)", piece.c_str(), static_cast<const void*>(piece.c_str()));
      std::vector<std::string> parts = splitSkippingEmpty(piece, ':', true);
      if (parts.empty())
        break;  // colons only: parsing stops here
      log.writeLog(28, "\ttoken is '%s' (%p)", parts[0].c_str(), static_cast<const void*>(parts[0].c_str()));
      keys.push_back(parts[0]);
      vals.push_back(parts.size() > 1 ? parts[1] : std::string());
      log.writeLog(25, "\tkey %s", keys.back().c_str());
      log.writeLog(25, "\tval %s", vals.back().c_str());
      num_items++;
    }
    log.writeLog(25, "match(): parsed.");
    for (int i = 0; i < num_items; i++)
      log.writeLog(28, "\t%d  %s : %s", i, keys[i].c_str(), vals[i].c_str());
  }

  log.writeLog(25, "match(): Looking for match '%s' among %d items.", find.c_str(), num_items);
  for (int i = 0; i < num_items; i++) {
    log.writeLog(28, "match(): %d: %s == %s?", i, keys[i].c_str(), find.c_str());
    if (keys[i] == find)
      return vals[i];
  }
  return "";
}

} // namespace zv
