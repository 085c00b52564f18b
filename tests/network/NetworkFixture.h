// A headless engine listening on a free loopback port, and plain clients
// that talk to it from outside, the way a foreign program would.
#pragma once

#include <chrono>
#include <functional>

#include <arpa/inet.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "network/EventNetwork.h"
#include "network/NetworkManager.h"

namespace nettest {

// Polls pred until it holds or ms have passed.
inline bool waitUntil(const std::function<bool()>& pred, int ms = 3000) {
  for (auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms); !pred(); usleep(1000))
    if (std::chrono::steady_clock::now() > end)
      return false;
  return true;
}

inline bool sendRaw(int fd, const std::string& bytes) {
  ssize_t n = 0;
  for (std::size_t done = 0; done < bytes.size() && n >= 0; done += static_cast<std::size_t>(n))
    n = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
  return n >= 0;
}

inline std::string lengthField(int32_t length) { return std::string(reinterpret_cast<const char*>(&length), 4); }
inline std::string framed(const std::string& body) { return lengthField(static_cast<int32_t>(body.size() + 4)) + body; }

// True when the server closed the connection within ms.
inline bool closedByServer(int fd, int ms = 3000) {
  struct pollfd p = {fd, POLLIN, 0};
  char c;
  return poll(&p, 1, ms) > 0 && recv(fd, &c, 1, MSG_PEEK) <= 0;
}

// Every network event as {label, index, bytes}; takes each announced
// message off the connection unless told not to.
struct NetRecorder : zv::Object {
  std::vector<std::vector<int>> seen;
  std::vector<std::string> messages;
  bool consume = true;
  std::function<void(const zv::EventNetwork&)> also;
  NetRecorder() { registerInterest(zv::NETWORK_EVENT); }
  int eventHandler(const zv::Event* p_e) override {
    const zv::EventNetwork& e = *static_cast<const zv::EventNetwork*>(p_e);
    seen.push_back({e.getLabel(), e.getSocketIndex(), e.getBytes()});
    std::string message(static_cast<std::size_t>(e.getBytes()), '\0');
    if (e.getLabel() == zv::NETWORK_DATA && consume &&
        zv::NetworkManager::getInstance().receive(e.getSocketIndex(), &message[0], e.getBytes()) == e.getBytes())
      messages.push_back(message);
    if (also)
      also(e);
    return 1;
  }
};

} // namespace nettest

// Each case runs in a process of its own: what it opens goes with it.
class NetworkTest : public testing::Test {
 protected:
  zv::NetworkManager& nm = zv::NetworkManager::getInstance();
  nettest::NetRecorder* r = nullptr;

  void SetUp() override {
    zv::LogManager::getInstance().setLogLevel(1);
    ASSERT_EQ(zvtest::startHeadless("networking:true,frame_time:33,"), 0);
    ASSERT_EQ(nm.setServer("0", "127.0.0.1"), 0);
    r = new nettest::NetRecorder;
  }
  void TearDown() override { zv::GameManager::getInstance().shutDown(); }
  int client() {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    struct sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(nm.getPort()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return connect(fd, reinterpret_cast<struct sockaddr*>(&address), sizeof(address)) == 0 ? fd : -1;
  }
  int acceptOne() {  // the handshake may lag a little
    int index = -1;
    nettest::waitUntil([&] { return (index = nm.accept()) != -1; });
    return index;
  }
  int announce(int index) {  // until a message is announced or the connection fails
    int result = 0;
    nettest::waitUntil([&] { return (result = nm.genDataEvents(index)) != 0; });
    return result;
  }
};
