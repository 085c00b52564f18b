// The NetworkManager and the loop's network step, with plain loopback clients
// from outside the engine; of peers that misbehave only the offender goes.
#include <climits>
#include <numeric>

#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "Peer.h"
#include "TestSupport.h"
#include <zelvra/core/GameManager.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/network/EventNetwork.h>
#include <zelvra/network/NetworkManager.h>
#include <zelvra/platform/Platform.h>

namespace {

bool sendRaw(int fd, const std::string& bytes) {
  return zvpeer::sendAll(fd, bytes.data(), static_cast<int>(bytes.size()), 3000) == 0;
}

std::string lengthField(int32_t length) { return std::string(reinterpret_cast<const char*>(&length), 4); }
std::string framed(const std::string& body) { return lengthField(static_cast<int32_t>(body.size() + 4)) + body; }

bool closedByServer(int fd) { return zvpeer::closedWithin(fd, 3000); }

// Every network event as {label, index, bytes}; takes each whole message
// off the connection unless told not to.
struct NetRecorder : zv::Object {
  std::vector<std::vector<int>> seen;
  std::vector<std::string> messages;
  bool consume = true;
  NetRecorder() { registerInterest(zv::NETWORK_EVENT); }
  int eventHandler(const zv::Event* p_e) override {
    const zv::EventNetwork& e = *static_cast<const zv::EventNetwork*>(p_e);
    seen.push_back({e.getLabel(), e.getSocketIndex(), e.getBytes()});
    std::string message(static_cast<std::size_t>(e.getBytes()), '\0');
    if (e.getLabel() == zv::NETWORK_DATA && consume &&
        zv::NetworkManager::getInstance().receive(e.getSocketIndex(), &message[0], e.getBytes()) == e.getBytes())
      messages.push_back(message);
    return 1;
  }
};

} // namespace

using zvtest::logContains;
using zvtest::waitUntil;
using Seen = std::vector<std::vector<int>>;

// Each case runs in a process of its own: what it opens goes with it.
class NetworkTest : public testing::Test {
 protected:
  zv::NetworkManager& nm = zv::NetworkManager::getInstance();
  NetRecorder* r = nullptr;

  void SetUp() override {
    zv::LogManager::getInstance().setLogLevel(1);
    ASSERT_EQ(zvtest::startHeadless("networking:true,frame_time:33,"), 0);
    ASSERT_EQ(nm.setServer("0", "127.0.0.1"), 0);
    r = new NetRecorder;
  }
  void TearDown() override { zv::GameManager::getInstance().shutDown(); }
  int client() { return zvpeer::connectLoopback(nm.getPort()); }
  int acceptOne() {  // the handshake may lag a little
    int index = -1;
    waitUntil([&] { return (index = nm.accept()) != -1; });
    return index;
  }
  int announce(int index) {  // until a message is announced or the connection fails
    int result = 0;
    waitUntil([&] { return (result = nm.genDataEvents(index)) != 0; });
    return result;
  }
};

TEST_F(NetworkTest, WholeMessagesAreAnnouncedOneAtATimeFromClientsUpToTheLimit) {
  EXPECT_EQ(nm.accept(), -1);  // nobody waiting
  int fd = client();
  int second = client();
  close(0);  // as in a program started without standard input: the next connection gets descriptor 0
  EXPECT_EQ(acceptOne(), 0);
  ASSERT_TRUE(waitUntil([&] {
    return nm.accept() == -1 && logContains("NetworkManager::accept(): Warning! accept() connection, but at limit (1).");
  }));
  EXPECT_TRUE(closedByServer(second));
  r->consume = false;
  for (const std::string& part : {lengthField(10).substr(0, 3), lengthField(10).substr(3) + "abcd", std::string("ef")}) {
    int waiting = nm.isData(0) + static_cast<int>(part.size());
    ASSERT_TRUE(sendRaw(fd, part) && waitUntil([&] { return nm.isData(0) == waiting; }));
    EXPECT_EQ(nm.genDataEvents(0), waiting == 10);
  }
  EXPECT_EQ(nm.genDataEvents(0), 1);  // left unread, so announced again
  EXPECT_EQ(r->seen, (Seen{{zv::NETWORK_ACCEPT, 0, 0}, {zv::NETWORK_DATA, 0, 10}, {zv::NETWORK_DATA, 0, 10}}));
  // In small pieces: the largest allowed, small ones, an empty one last.
  r->consume = true;
  std::vector<std::string> sent = {lengthField(10) + "abcdef"};
  std::string all;
  for (int i = 0; i < 50; i++)
    all += sent.emplace_back(i == 0 ? framed(std::string(65532, 'L')) : i < 49 ? framed(std::string(i, 'a' + i)) : lengthField(4));
  for (std::size_t at = 0; at < all.size(); at += 1000)
    ASSERT_TRUE(sendRaw(fd, all.substr(at, 1000)));
  for (std::size_t i = 0; i < sent.size(); i++)
    ASSERT_EQ(announce(0), 1) << i;
  EXPECT_TRUE(r->messages == sent);
}

TEST_F(NetworkTest, BadLengthsAndLeavingPeersCloseOnlyTheOffender) {
  // After a good message: a clean end, an end within a message, bad lengths.
  std::vector<std::string> cases = {"", lengthField(100) + std::string(50, 'h')};
  for (int length : {0, 3, -1, INT_MIN, INT_MAX, 65537})
    cases.push_back(lengthField(length) + (length % 2 ? "body" : ""));
  nm.setMaxSockets(2);
  int good = client();
  ASSERT_EQ(acceptOne(), 0);
  for (std::size_t i = 0; i < cases.size(); i++) {
    SCOPED_TRACE(i);
    int bad = client();
    ASSERT_EQ(acceptOne(), 1);
    ASSERT_TRUE(sendRaw(bad, framed("first") + cases[i]));
    if (i < 2)
      close(bad);
    EXPECT_EQ(announce(1), 1);
    EXPECT_TRUE(waitUntil([&] { return nm.genDataEvents(1) == (i < 2 ? 0 : -1) && nm.getNumConnections() == 1; }));
    EXPECT_EQ(r->seen.back(), (std::vector<int>{zv::NETWORK_CLOSE, 1, 0}));
    EXPECT_TRUE(i < 2 || closedByServer(bad));
    ASSERT_TRUE(sendRaw(good, framed("ok")));
    EXPECT_EQ(announce(0), 1);
  }
  EXPECT_TRUE(logContains("NetworkManager::genDataEvents(): Error! Sock index 1 announced -1 bytes, not in range "
                          "[4,65536]. Closing it."));
  EXPECT_TRUE(logContains("NetworkManager::genDataEvents(): Warning! Sock index 1 closed by peer in the middle of a "
                          "message (54 bytes dropped)."));
  EXPECT_EQ(zvtest::logCount("in the middle of a message"), 1);  // not for the clean end
}

TEST_F(NetworkTest, IdleIncompleteMessagesAreDroppedAndLaterConnectionsMoveDown) {
  static int64_t now = 0;
  zv::platform::setMonotonicClock([] { return now; });
  nm.setMaxSockets(4);
  const std::string parts[] = {lengthField(100).substr(0, 1), lengthField(100).substr(0, 3), lengthField(100) + "ab", ""};
  int fds[4];
  for (int i = 0; i < 4; i++) {  // the last one idle, but holding nothing
    ASSERT_TRUE(sendRaw(fds[i] = client(), parts[i]));
    ASSERT_EQ(acceptOne(), i);
    ASSERT_TRUE(waitUntil([&] { return nm.isData(i) == static_cast<int>(parts[i].size()); }));
  }
  std::string body;  // a wait for a reply ends on its own time-out while the clock stands still
  EXPECT_EQ(nm.receiveMessage(3, body, 20), -1);
  // On the engine's clock: at the limit, with none, or within one of hours, the parts stay; past it they go.
  int round = 0;
  for (int limit : {100, 100, 0, 7200 * 1000, 100}) {
    ASSERT_EQ(nm.setIdleTimeout(limit), 0);
    for (int i = nm.getNumConnections() - 1; i >= 0; i--)
      nm.genDataEvents(i);
    EXPECT_EQ(nm.getNumConnections(), ++round < 5 ? 4 : 1) << round;
    now += limit ? 100 * 1000 : 3600 * 1000000LL;
  }
  EXPECT_TRUE(logContains("NetworkManager::genDataEvents(): Error! Sock index 2 held 6 bytes of an incomplete message "
                          "for over 100 ms. Closing it."));
  ASSERT_TRUE(sendRaw(fds[3], framed("moved")));  // now index 0
  EXPECT_EQ(announce(0), 1);
  nm.shutDown();
  EXPECT_TRUE(closedByServer(fds[0]) && closedByServer(fds[3]));
  EXPECT_EQ(r->seen, (Seen{{0, 0, 0}, {0, 1, 0}, {0, 2, 0}, {0, 3, 0}, {2, 2, 0}, {2, 1, 0}, {2, 0, 0}, {3, 0, 9}, {2, 0, 0}}));
  EXPECT_EQ(nm.accept(), -2);
  EXPECT_TRUE(logContains("NetworkManager::accept(): Error! Not setup as server."));
}

TEST_F(NetworkTest, SendQueuesWhatTheReaderHasNotTakenUpToALimit) {
  int pairs[5][2];  // 0 reads late, 1 never and overfills its queue, 2 and 3 leave, 4 never reads
  for (int i = 0; i < 5; i++)
    ASSERT_TRUE(socketpair(AF_UNIX, SOCK_STREAM, 0, pairs[i]) == 0 && nm.addConnection(pairs[i][0]) == i);
  ASSERT_EQ(nm.setMaxQueueBytes(4 << 20), 0);
  std::string data(3 << 20, '\0');
  std::iota(data.begin(), data.end(), 0);
  for (int i = 0; i < 5; i++)
    EXPECT_EQ(nm.send(i, data.data(), static_cast<int>(data.size())), 0);  // at once, the rest queued
  std::string over = std::to_string(nm.getQueuedBytes(1) + (3 << 20));
  EXPECT_EQ(nm.send(1, data.data(), static_cast<int>(data.size())), -1);
  EXPECT_TRUE(logContains("NetworkManager::send(): Error! Sock index 1 would queue " + over +
                          " bytes, over the limit (4194304). Closing it."));
  EXPECT_EQ(nm.genDataEvents(1), -1);
  close(pairs[2][1]), close(pairs[3][1]);  // what is queued for a peer that left cannot go
  EXPECT_EQ(nm.genDataEvents(1), -1);
  EXPECT_TRUE(logContains("NetworkManager::genDataEvents(): Error! send() returned:"));
  // Closing a connection whose peer left (3) or does not read (4) tells what its queue lost.
  std::vector<int> queued = {nm.getQueuedBytes(1), nm.getQueuedBytes(2)};
  EXPECT_EQ((std::vector<int>{nm.close(2), nm.close(1)}), (std::vector<int>{0, 0}));
  for (int i : {1, 2})
    EXPECT_TRUE(logContains("NetworkManager::close(): Warning! Sock index " + std::to_string(i) + " closed with " +
                            std::to_string(queued[i - 1]) + " queued bytes dropped.")) << i;
  EXPECT_EQ(r->seen, (Seen{{2, 1, 0}, {2, 1, 0}, {2, 2, 0}, {2, 1, 0}}));  // close events
  std::string got;
  char buffer[1 << 16];
  EXPECT_TRUE(waitUntil([&] {
    nm.genDataEvents(0);
    ssize_t n = recv(pairs[0][1], buffer, sizeof(buffer), MSG_DONTWAIT);
    return got.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0))).size() == data.size();
  }));
  EXPECT_TRUE(got == data);  // whole and in order
  EXPECT_EQ(nm.close(0), 0);  // nothing left queued, nothing reported
  EXPECT_EQ(zvtest::logCount("queued bytes dropped"), 2);
}

// A peek leaves the bytes, a receive takes what waits; calls on no connection, with nothing to
// send or too long a message are refused with their line and leave the connection as it was.
// receiveMessage waits for a whole message, keeps a part, and closes on a bad length.
TEST_F(NetworkTest, ReceivingPeeksTakesOrWaitsForWholeMessagesAndBadCallsAreRefused) {
  int fds[2];
  std::string peeked(12, '\0'), taken(12, '\0'), body, got(1 << 17, '\0');
  const std::string waiting = framed("ab") + "cd" + std::string(4, '\0');  // the message read ahead, then two bytes
  ASSERT_TRUE(socketpair(AF_UNIX, SOCK_STREAM, 0, fds) == 0 && nm.addConnection(fds[0]) == 0);
  r->consume = false;
  ASSERT_TRUE(sendRaw(fds[1], framed("ab")) && nm.genDataEvents(0) == 1 && sendRaw(fds[1], "cd"));
  EXPECT_EQ((std::vector<int>{nm.receive(0, &peeked[0], 12, true), nm.receive(0, &taken[0], 12),
                              nm.receive(0, &taken[0], 12)}),
            (std::vector<int>{8, 8, 0}));
  EXPECT_EQ(peeked + taken, waiting + waiting);
  const std::vector<std::pair<int, std::string>> refused = {
      {nm.send(1, "x", 1), "send(): Error! Sock index 1 not connected."},
      {nm.send(0, "x", -1), "send(): Error! Nothing to send (-1 bytes)."},
      {nm.send(0, nullptr, 3), "send(): Error! Nothing to send (3 bytes)."},
      {nm.receive(-1, &taken[0], 1), "receive(): Error! Sock index -1 not connected."},
      {nm.receiveMessage(1, body, 0), "receiveMessage(): Error! Sock index 1 not connected."},
      {nm.isData(-1), "isData(): Error! Sock index -1 not connected."},
      {nm.close(1), "close(): sock_index (1) out of range."},
      {nm.sendMessage(0, std::string(65533, 'x')),
       "sendMessage(): Error! Message of 65537 bytes is longer than the maximum (65536)."}};
  for (const auto& [result, line] : refused)
    EXPECT_TRUE(result == -1 && logContains("NetworkManager::" + line)) << line;
  EXPECT_EQ((std::vector<long>{nm.genDataEvents(-1), nm.genDataEvents(1), nm.sendMessage(0, std::string(65532, 'x')),
                               recv(fds[1], &got[0], got.size(), MSG_DONTWAIT)}),
            (std::vector<long>{0, 0, 0, 65536}));  // only the longest message allowed went
  EXPECT_EQ(got.substr(0, 65536), framed(std::string(65532, 'x')));

  ASSERT_TRUE(sendRaw(fds[1], framed("hello") + lengthField(9) + "ab"));
  EXPECT_TRUE(nm.receiveMessage(0, body, 1000) == 0 && body == "hello");
  EXPECT_EQ(nm.receiveMessage(0, body, 20), -1);
  EXPECT_TRUE(logContains("NetworkManager::receiveMessage(): Error! No whole message within 20 ms."));
  ASSERT_TRUE(sendRaw(fds[1], "cde" + lengthField(2)));
  EXPECT_TRUE(nm.receiveMessage(0, body, 1000) == 0 && body == "abcde");
  EXPECT_EQ(nm.receiveMessage(0, body, 1000), -1);  // shorter than its own header
  EXPECT_TRUE(closedByServer(fds[1]));
}

TEST_F(NetworkTest, LoopAcceptsOnceAFrameAndAnnouncesEveryMessage) {
  nm.setMaxSockets(2);
  int fds[] = {client(), client()};
  ASSERT_TRUE(sendRaw(fds[0], framed("a1") + framed("a2")) && sendRaw(fds[1], framed("b1")));
  for (int fd : fds)  // until the server's system holds every byte
    ASSERT_TRUE(waitUntil([&] { int left = -1; return ioctl(fd, SIOCOUTQ, &left) == 0 && left == 0; }));
  zvtest::Recorder* frames = zvtest::onEveryStep(nullptr);  // ends the loop at a step count
  frames->stop_after_steps = 1;
  zv::GameManager::getInstance().run();
  EXPECT_EQ(r->messages, (std::vector<std::string>{framed("a1"), framed("a2")}));
  frames->stop_after_steps = 2;
  zv::GameManager::getInstance().run();
  EXPECT_EQ(r->messages, (std::vector<std::string>{framed("a1"), framed("a2"), framed("b1")}));
  EXPECT_FALSE(logContains("Residual network data."));
  // Left unread, a message is announced again until the frame's share is used up.
  r->consume = false;
  ASSERT_TRUE(sendRaw(fds[0], framed("sticky")) && waitUntil([&] { return nm.isData(0) == 10; }));
  frames->stop_after_steps = 4;
  zv::GameManager::getInstance().run();
  EXPECT_EQ(zvtest::logCount("GameManager::run(): Warning! Residual network data."), 2);
}
