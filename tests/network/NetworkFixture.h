// A started headless engine with networking on and a server listening on a
// free loopback port, plus plain POSIX clients that talk to it from outside
// the engine, the way a foreign program would.
#ifndef ZV_NETWORK_FIXTURE_H
#define ZV_NETWORK_FIXTURE_H

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "network/EventNetwork.h"
#include "network/NetworkManager.h"
#include "platform/Platform.h"
#include "world/Object.h"

namespace nettest {

// The engine's clock made virtual: it moves only when the loop sleeps or a
// test moves it, so frames cost no wall time and limits are met exactly.
inline uint32_t virtual_now = 0;
inline uint32_t virtualClock() { return virtual_now; }
inline void virtualSleep(int ms) { virtual_now += static_cast<uint32_t>(ms) * 1000u; }
inline void useVirtualClock() {
  virtual_now = zv::platform::wallClockMicros();  // no jump for what already runs
  zv::platform::setClockSource(virtualClock);
  zv::platform::setSleeper(virtualSleep);
}

// Polls pred until it holds or ms have passed.
inline bool waitUntil(const std::function<bool()>& pred, int ms = 3000) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    if (pred())
      return true;
    usleep(1000);
  }
  return pred();
}

inline int openDescriptors() {
  int count = 0;
  DIR* dir = opendir("/proc/self/fd");
  if (!dir)
    return -1;
  while (struct dirent* entry = readdir(dir))
    if (entry->d_name[0] != '.')
      count++;
  closedir(dir);
  return count - 1;  // the directory's own
}

// A blocking client on 127.0.0.1.
inline int connectClient(int port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0)
    return -1;
  struct sockaddr_in address;
  memset(&address, 0, sizeof(address));
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<struct sockaddr*>(&address), sizeof(address)) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

inline bool sendRaw(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n <= 0)
      return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

inline std::string lengthField(int32_t length) {
  std::string field(4, '\0');
  memcpy(&field[0], &length, 4);
  return field;
}

inline std::string framed(const std::string& body) {
  return lengthField(static_cast<int32_t>(body.size() + 4)) + body;
}

// Bytes that arrive within ms; stops early at the end of the stream.
inline std::string readFor(int fd, std::size_t want, int ms) {
  std::string out;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (out.size() < want) {
    int left = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count());
    if (left <= 0)
      break;
    struct pollfd p = {fd, POLLIN, 0};
    if (poll(&p, 1, left) <= 0)
      break;
    char buffer[4096];
    std::size_t chunk = want - out.size() < sizeof(buffer) ? want - out.size() : sizeof(buffer);
    ssize_t n = recv(fd, buffer, chunk, 0);
    if (n <= 0)
      break;
    out.append(buffer, static_cast<std::size_t>(n));
  }
  return out;
}

// True when the server closed the connection within ms.
inline bool closedByServer(int fd, int ms = 3000) {
  struct pollfd p = {fd, POLLIN, 0};
  if (poll(&p, 1, ms) <= 0)
    return false;
  char c;
  return recv(fd, &c, 1, MSG_PEEK) <= 0;
}

struct Seen {
  int label;
  int socket_index;
  int bytes;
};

// Records every network event; reads each announced message off the
// connection unless told not to.
class NetRecorder : public zv::Object {
 public:
  std::vector<Seen> seen;
  std::vector<std::string> messages;  // whole messages, header included
  bool consume = true;
  std::function<void(const zv::EventNetwork&)> also;

  NetRecorder() { registerInterest(zv::NETWORK_EVENT); }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() != zv::NETWORK_EVENT)
      return 0;
    const zv::EventNetwork& e = *static_cast<const zv::EventNetwork*>(p_e);
    seen.push_back({e.getLabel(), e.getSocketIndex(), e.getBytes()});
    if (e.getLabel() == zv::NETWORK_DATA && consume) {
      std::string message(static_cast<std::size_t>(e.getBytes()), '\0');
      int got = zv::NetworkManager::getInstance().receive(e.getSocketIndex(), &message[0], e.getBytes());
      message.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
      messages.push_back(message);
    }
    if (also)
      also(e);
    return 1;
  }
  int count(int label) const {
    int n = 0;
    for (const Seen& s : seen)
      if (s.label == label)
        n++;
    return n;
  }
};

} // namespace nettest

class NetworkTest : public testing::Test {
 protected:
  zv::NetworkManager& nm = zv::NetworkManager::getInstance();
  int port = -1;
  std::vector<int> clients;

  void SetUp() override {
    zv::LogManager::getInstance().setLogLevel(1);
    ASSERT_EQ(zvtest::startHeadless("networking:true,"), 0);
    ASSERT_TRUE(nm.isStarted());
    ASSERT_EQ(nm.setServer("0", "127.0.0.1"), 0);
    port = nm.getPort();
    ASSERT_GT(port, 0);
  }
  void TearDown() override {
    for (int fd : clients)
      close(fd);
    if (zv::GameManager::getInstance().isStarted())
      zv::GameManager::getInstance().shutDown();
    zv::platform::setClockSource(nullptr);
    zv::platform::setSleeper(nullptr);
  }

  // A new client, kept for closing at the end.
  int client() {
    int fd = nettest::connectClient(port);
    EXPECT_GE(fd, 0);
    clients.push_back(fd);
    return fd;
  }
  // Closes a client before the end of the test.
  void hangUp(int fd) {
    for (std::size_t i = 0; i < clients.size(); i++)
      if (clients[i] == fd)
        clients.erase(clients.begin() + static_cast<std::ptrdiff_t>(i));
    close(fd);
  }
  // accept() until it gives a connection (the handshake may lag a little).
  int acceptOne() {
    int index = -1;
    nettest::waitUntil([&] { return (index = nm.accept()) >= 0 || index == -2; });
    return index;
  }
  // genDataEvents(i) until it announces or fails.
  int announce(int index, int ms = 3000) {
    int result = 0;
    nettest::waitUntil([&] { return (result = nm.genDataEvents(index)) != 0; }, ms);
    return result;
  }
  static bool logged(const std::string& text) { return zvtest::logContains(text); }
  static int loggedCount(const std::string& text) { return zvtest::logCount(text); }
};

#endif
