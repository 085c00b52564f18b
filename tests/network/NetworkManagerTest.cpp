// The NetworkManager on real loopback sockets: well-behaved peers, and peers
// that misbehave, of which only the offender may be dropped.
#include <climits>

#include "NetworkFixture.h"
#include "platform/Platform.h"

using nettest::framed;
using nettest::lengthField;
using nettest::sendRaw;
using zvtest::logContains;
using Seen = std::vector<std::vector<int>>;

TEST_F(NetworkTest, WholeMessagesAreAnnouncedOneAtATimeFromClientsUpToTheLimit) {
  EXPECT_EQ(nm.accept(), -1);  // nobody waiting
  int fd = client();
  int second = client();
  EXPECT_EQ(acceptOne(), 0);
  ASSERT_TRUE(nettest::waitUntil([&] { return nm.accept() == -1 && logContains("at limit"); }));
  EXPECT_TRUE(logContains("NetworkManager::accept(): Warning! accept() connection, but at limit (1)."));
  EXPECT_TRUE(nettest::closedByServer(second));
  r->consume = false;
  for (const std::string& part : {lengthField(10).substr(0, 3), lengthField(10).substr(3) + "abcd", std::string("ef")}) {
    int waiting = nm.isData(0) + static_cast<int>(part.size());
    ASSERT_TRUE(sendRaw(fd, part) && nettest::waitUntil([&] { return nm.isData(0) == waiting; }));
    EXPECT_EQ(nm.genDataEvents(0), waiting == 10);
  }
  EXPECT_EQ(nm.genDataEvents(0), 1);  // left unread, so announced again
  EXPECT_EQ(r->seen, (Seen{{zv::NETWORK_ACCEPT, 0, 0}, {zv::NETWORK_DATA, 0, 10}, {zv::NETWORK_DATA, 0, 10}}));
  // In small pieces: the largest message allowed, small ones, and last an
  // empty one, exactly its four bytes.
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
  // After a good message: a clean end, an end within a message, and lengths
  // out of range, alone or with a little body.
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
    EXPECT_TRUE(nettest::waitUntil([&] { return nm.genDataEvents(1) == (i < 2 ? 0 : -1) && nm.getNumConnections() == 1; }));
    EXPECT_EQ(r->seen.back(), (std::vector<int>{zv::NETWORK_CLOSE, 1, 0}));
    EXPECT_TRUE(i < 2 || nettest::closedByServer(bad));
    ASSERT_TRUE(sendRaw(good, framed("ok")));
    EXPECT_EQ(announce(0), 1);
  }
  EXPECT_EQ(r->messages.size(), 2 * cases.size());
  EXPECT_TRUE(logContains("NetworkManager::genDataEvents(): Error! Sock index 1 announced -1 bytes, not in range "
                          "[4,65536]. Closing it."));
  EXPECT_TRUE(logContains("NetworkManager::genDataEvents(): Warning! Sock index 1 closed by peer in the middle of a "
                          "message (54 bytes dropped)."));
  EXPECT_EQ(zvtest::logCount("in the middle of a message"), 1);  // not for the clean end
}

TEST_F(NetworkTest, IncompleteMessagesAreDroppedOnlyPastTheIdleLimit) {
  static uint32_t now = zv::platform::wallClockMicros();
  zv::platform::setClockSource([] { return now; });
  nm.setMaxSockets(4);
  const std::string parts[] = {lengthField(100).substr(0, 1), lengthField(100).substr(0, 3), lengthField(100) + "ab", ""};
  for (int i = 0; i < 4; i++) {  // the last one idle, but holding nothing
    ASSERT_TRUE(sendRaw(client(), parts[i]));
    ASSERT_EQ(acceptOne(), i);
    ASSERT_TRUE(nettest::waitUntil([&] { return nm.isData(i) == static_cast<int>(parts[i].size()); }));
  }
  // On the engine's clock: at the limit, or with none, the parts stay; past it they go.
  int round = 0;
  for (int limit : {100, 100, 0, 100}) {
    ASSERT_EQ(nm.setIdleTimeout(limit), 0);
    for (int i = nm.getNumConnections() - 1; i >= 0; i--)
      nm.genDataEvents(i);
    EXPECT_EQ(nm.getNumConnections(), ++round < 4 ? 4 : 1) << round;
    now += limit ? 100 * 1000 : 20 * 60 * 1000 * 1000u;
  }
  EXPECT_TRUE(logContains("NetworkManager::genDataEvents(): Error! Sock index 2 held 6 bytes of an incomplete message "
                          "for over 100 ms. Closing it."));
}

TEST_F(NetworkTest, ClosingMovesLaterConnectionsDownEvenFromACloseHandler) {
  nm.setMaxSockets(5);
  std::vector<int> fds;
  for (int i = 0; i < 5; i++) {
    fds.push_back(client());
    ASSERT_EQ(acceptOne(), i);
  }
  r->also = [&](const zv::EventNetwork& e) {
    EXPECT_TRUE(e.getLabel() != zv::NETWORK_CLOSE || nm.isData(e.getSocketIndex()) == -1);  // already gone
    if (e.getSocketIndex() == 3)
      nm.close(0);
  };
  EXPECT_EQ(nm.close(3), 0);
  ASSERT_TRUE(sendRaw(fds[2], framed("moved")));  // now index 1
  EXPECT_EQ(announce(1), 1);
  nm.shutDown();
  for (int fd : fds)
    EXPECT_TRUE(nettest::closedByServer(fd));
  EXPECT_EQ(r->seen, (Seen{{0, 0, 0}, {0, 1, 0}, {0, 2, 0}, {0, 3, 0}, {0, 4, 0}, {2, 3, 0}, {2, 0, 0}, {3, 1, 9},
                           {2, 2, 0}, {2, 1, 0}, {2, 0, 0}}));
  EXPECT_EQ(nm.accept(), -2);
  EXPECT_TRUE(logContains("NetworkManager::accept(): Error! Not setup as server."));
}

TEST_F(NetworkTest, SendQueuesWhatTheReaderHasNotTakenUpToALimit) {
  int pairs[3][2];  // 0 reads late, 1 never, 2 leaves
  for (int i = 0; i < 3; i++)
    ASSERT_TRUE(socketpair(AF_UNIX, SOCK_STREAM, 0, pairs[i]) == 0 && nm.addConnection(pairs[i][0]) == i);
  ASSERT_EQ(nm.setMaxQueueBytes(4 << 20), 0);
  std::string data(3 << 20, '\0');
  for (std::size_t i = 0; i < data.size(); i++)
    data[i] = static_cast<char>(i % 251);
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(nm.send(i, data.data(), static_cast<int>(data.size())), 0);  // at once, the rest queued
    EXPECT_GT(nm.getQueuedBytes(i), 0);
  }
  std::string over = std::to_string(nm.getQueuedBytes(1) + (3 << 20));
  EXPECT_EQ(nm.send(1, data.data(), static_cast<int>(data.size())), -1);
  EXPECT_TRUE(logContains("NetworkManager::send(): Error! Sock index 1 would queue " + over +
                          " bytes, over the limit (4194304). Closing it."));
  EXPECT_EQ(nm.genDataEvents(1), -1);
  close(pairs[2][1]);  // what is queued for a peer that left cannot go
  EXPECT_EQ(nm.genDataEvents(1), -1);
  EXPECT_TRUE(logContains("NetworkManager::genDataEvents(): Error! send() returned:"));
  EXPECT_EQ(r->seen, (Seen{{zv::NETWORK_CLOSE, 1, 0}, {zv::NETWORK_CLOSE, 1, 0}}));
  std::string got;
  char buffer[1 << 16];
  EXPECT_TRUE(nettest::waitUntil([&] {
    nm.genDataEvents(0);
    ssize_t n = recv(pairs[0][1], buffer, sizeof(buffer), MSG_DONTWAIT);
    return got.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0))).size() == data.size();
  }));
  EXPECT_TRUE(got == data);  // whole and in order
}
