#include <zelvra/network/ByteQueue.h>

#include <cassert>

namespace zv {

std::size_t ByteQueue::size() const { return bytes.size() - start; }

bool ByteQueue::empty() const { return size() == 0; }

const char* ByteQueue::front() const { return bytes.data() + start; }

void ByteQueue::push(const char* data, std::size_t count) {
  assert(data || count == 0);
  bytes.append(data, count);
}

void ByteQueue::pop(std::size_t count) {
  assert(count <= size());
  start += count;
  if (start == bytes.size()) {
    bytes.clear();
    start = 0;
  } else if (start > bytes.size() / 2) {
    bytes.erase(0, start);
    start = 0;
  }
}

void ByteQueue::clear() {
  std::string().swap(bytes);
  start = 0;
}

} // namespace zv
