// Arbitrary byte streams through a socket pair into genDataEvents and a
// handler that takes each announced message off the connection and may send
// it back, while the peer reads the replies only now and then. Checked on
// every run: a message is announced whole, with the length it carries, in
// range, in the order it was sent; the peer receives the replies in order
// and, unless the connection was closed, every one of them whole; a peer
// that hangs up is always let go; no handle is left behind.
//
// The first byte steers the run: bit 0 hangs up after the last byte, bit 1
// lowers the maximum length to 64, bits 2-7 give the size of the pieces the
// rest is written in. The second: bit 0 sends every message back, bit 1
// lowers the queue limit to 256 bytes, bits 2-7 say after which pieces (the
// piece's number modulo 6) the peer reads what has come.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <zelvra/core/LogManager.h>
#include "Peer.h"
#include <zelvra/network/EventNetwork.h>
#include <zelvra/network/NetworkManager.h>
#include <zelvra/platform/Socket.h>
#include <zelvra/world/Object.h>
#include <zelvra/world/WorldManager.h>

namespace {

void check(bool condition) {
  if (!condition)
    __builtin_trap();
}

class Reader : public zv::Object {
 public:
  const uint8_t* sent = nullptr;  // the stream as written
  size_t sent_size = 0;
  size_t taken = 0;  // bytes taken off so far
  int closes = 0;
  bool echo = false;
  std::string echoed;  // every reply tried, in order

  Reader() { registerInterest(zv::NETWORK_EVENT); }
  int eventHandler(const zv::Event* p_e) override {
    const zv::EventNetwork& e = *static_cast<const zv::EventNetwork*>(p_e);
    zv::NetworkManager& nm = zv::NetworkManager::getInstance();
    if (e.getLabel() == zv::NETWORK_CLOSE) {
      closes++;
      return 1;
    }
    check(e.getLabel() == zv::NETWORK_DATA);
    int bytes = e.getBytes();
    check(bytes >= zv::MESSAGE_HEADER_BYTES && bytes <= nm.getMaxMessageLength());
    check(taken + static_cast<size_t>(bytes) <= sent_size);
    std::string message(static_cast<size_t>(bytes), '\0');
    check(nm.receive(e.getSocketIndex(), &message[0], bytes) == bytes);
    int32_t length;
    memcpy(&length, message.data(), sizeof(length));
    check(length == bytes);
    check(memcmp(message.data(), sent + taken, message.size()) == 0);
    taken += message.size();
    if (echo) {
      echoed += message;
      // A reply that fails breaks the stream: nothing goes out after it.
      echo = nm.send(e.getSocketIndex(), message.data(), bytes) == 0;
    }
    return 1;
  }
};

Reader* reader = nullptr;

// Announces until nothing more comes; each call takes a message or stops.
void drain(zv::NetworkManager& nm, size_t limit) {
  for (size_t i = 0; i < limit && nm.getNumConnections() > 0; i++)
    if (nm.genDataEvents(0) != 1)
      break;
}

// What the peer can read now, without waiting.
void peerRead(int handle, std::string& received) {
  char buffer[4096];
  int count;
  while ((count = zv::platform::receiveSome(handle, buffer, sizeof(buffer), false)) > 0)
    received.append(buffer, static_cast<size_t>(count));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("ZELVRA_LOG", "/dev/null", 1);
  zv::LogManager::getInstance().startUp();
  zv::WorldManager::getInstance().startUp();
  zv::NetworkManager::getInstance().startUp();
  reader = new Reader;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2)
    return 0;
  zv::NetworkManager& nm = zv::NetworkManager::getInstance();
  bool hang_up = data[0] & 1;
  nm.setMaxMessageLength(data[0] & 2 ? 64 : zv::DEFAULT_MAX_MESSAGE_BYTES);
  size_t piece = static_cast<size_t>(data[0] >> 2) + 1;
  nm.setMaxQueueBytes(data[1] & 2 ? 256 : zv::DEFAULT_MAX_QUEUE_BYTES);
  int read_after = data[1] >> 2;
  const uint8_t* stream = data + 2;
  size_t stream_size = size - 2;

  int ours = -1;
  int theirs = -1;
  check(zvpeer::socketPair(ours, theirs) == 0);
  // Small buffers, so that replies soon wait in the manager's queue.
  int small = 1;
  setsockopt(ours, SOL_SOCKET, SO_SNDBUF, &small, sizeof(small));
  check(nm.addConnection(ours) == 0);
  reader->sent = stream;
  reader->sent_size = 0;
  reader->taken = 0;
  reader->closes = 0;
  reader->echo = data[1] & 1;
  reader->echoed.clear();
  std::string received;

  for (size_t at = 0; at < stream_size && nm.getNumConnections() > 0; at += piece) {
    size_t n = stream_size - at < piece ? stream_size - at : piece;
    // A full buffer means the rest could never be announced anyway.
    if (zvpeer::sendAll(theirs, stream + at, static_cast<int>(n), 0) != 0)
      break;
    reader->sent_size = at + n;
    drain(nm, stream_size + 2);
    if (read_after & (1 << (at / piece % 6)))
      peerRead(theirs, received);
  }
  // The peer reads on to the end; the manager writes its queue meanwhile.
  for (int i = 0; i < 10000 && !hang_up && nm.getNumConnections() > 0 && received.size() < reader->echoed.size();
       i++) {
    nm.genDataEvents(0);
    peerRead(theirs, received);
  }
  check(reader->echoed.compare(0, received.size(), received) == 0);
  check(hang_up || nm.getNumConnections() == 0 || (received == reader->echoed && nm.getQueuedBytes(0) == 0));
  if (hang_up) {
    zv::platform::closeSocket(theirs);
    theirs = -1;
    drain(nm, stream_size + 2);
    nm.genDataEvents(0);  // sees the hang-up
    check(nm.getNumConnections() == 0);
  }
  if (nm.getNumConnections() > 0)
    nm.close(0);
  check(nm.getNumConnections() == 0);
  check(reader->closes == 1);
  check(fcntl(ours, F_GETFD) == -1);  // the manager released its end
  if (theirs >= 0)
    zv::platform::closeSocket(theirs);
  return 0;
}
