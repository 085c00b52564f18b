// Message framing: every message starts with its total length, header
// included, as a native-order 32-bit signed integer, then its body.
#ifndef ZV_MESSAGE_H
#define ZV_MESSAGE_H

#include <string>

namespace zv {

const int MESSAGE_HEADER_BYTES = 4;
// Longest message accepted by default, header included; also the most a
// connection keeps read ahead in memory.
const int DEFAULT_MAX_MESSAGE_BYTES = 64 * 1024;

// The total length a header announces; header holds MESSAGE_HEADER_BYTES
// bytes. Any value may come from a peer: the reader checks the range.
int messageLength(const char* header);
// body behind its header. body is at most INT32_MAX - MESSAGE_HEADER_BYTES
// bytes long.
std::string frameMessage(const std::string& body);

} // namespace zv

#endif
