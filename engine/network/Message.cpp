#include <zelvra/network/Message.h>

#include <cassert>
#include <cstdint>
#include <cstring>

namespace zv {

int messageLength(const char* header) {
  assert(header);
  int32_t length;
  memcpy(&length, header, sizeof(length));
  return length;
}

std::string frameMessage(const std::string& body) {
  assert(body.size() <= static_cast<std::size_t>(INT32_MAX - MESSAGE_HEADER_BYTES));
  int32_t length = static_cast<int32_t>(body.size()) + MESSAGE_HEADER_BYTES;
  std::string message;
  message.reserve(sizeof(length) + body.size());
  message.append(reinterpret_cast<const char*>(&length), sizeof(length));
  return message.append(body);
}

} // namespace zv
