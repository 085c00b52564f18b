// Bytes that go in at the back and come off the front: what a connection
// has read ahead, and what it still has to send.
//
// Taking bytes off moves nothing until the taken part is the larger half,
// so a queue drained a little at a time costs no repeated copying.
#ifndef ZV_BYTE_QUEUE_H
#define ZV_BYTE_QUEUE_H

#include <cstddef>
#include <string>

namespace zv {

class ByteQueue {
 private:
  std::string bytes;  // the queue is bytes[start..]
  std::size_t start = 0;

 public:
  std::size_t size() const;
  bool empty() const;
  // The first byte; valid until the queue next changes.
  const char* front() const;
  // Appends count bytes from data (which may be null when count is 0).
  void push(const char* data, std::size_t count);
  // Takes count bytes off the front; count is at most size().
  void pop(std::size_t count);
  // Empties the queue and gives its memory back.
  void clear();
};

} // namespace zv

#endif
