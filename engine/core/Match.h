// The key-value matcher of the engine's text formats: entries "key:value"
// separated by commas, white space ignored. The last parse is kept, shared
// by every caller, so that an empty text searches it again without parsing.
#ifndef ZV_MATCH_H
#define ZV_MATCH_H

#include <string>

namespace zv {

// The value of the first entry whose key equals find, or "".
std::string match(std::string str, std::string find);

} // namespace zv

#endif
