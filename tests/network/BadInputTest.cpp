// Peers that misbehave: short headers, impossible lengths, hang-ups in the
// middle of a message, silence, crowds, and many short visits. The server
// must log, drop only the offender and keep serving the others.
#include <climits>
#include <thread>

#include <netinet/in.h>
#include <sys/socket.h>

#include "NetworkFixture.h"

using nettest::framed;
using nettest::lengthField;
using nettest::NetRecorder;
using nettest::sendRaw;

namespace {
// How the well-behaved client fares next to the offender.
void expectServed(zv::NetworkManager& nm, NetRecorder& r, int fd, int index, const std::string& body) {
  ASSERT_TRUE(sendRaw(fd, framed(body)));
  int result = 0;
  nettest::waitUntil([&] { return (result = nm.genDataEvents(index)) != 0; });
  EXPECT_EQ(result, 1);
  ASSERT_FALSE(r.messages.empty());
  EXPECT_EQ(r.messages.back(), framed(body));
}
} // namespace

TEST_F(NetworkTest, ShortHeaderThatStopsIsNeverAnnouncedAndTimesOut) {
  nettest::useVirtualClock();
  NetRecorder* r = new NetRecorder;
  nm.setMaxSockets(4);
  std::vector<int> fds;
  for (int n = 1; n <= 3; n++) {
    fds.push_back(client());
    ASSERT_EQ(acceptOne(), n - 1);
    ASSERT_TRUE(sendRaw(fds.back(), lengthField(100).substr(0, static_cast<std::size_t>(n))));
  }
  int good = client();
  ASSERT_EQ(acceptOne(), 3);
  for (int n = 1; n <= 3; n++)
    ASSERT_TRUE(nettest::waitUntil([&] { return nm.isData(n - 1) == n; }));
  for (int round = 0; round < 100; round++)
    for (int i = 0; i < 3; i++)
      ASSERT_EQ(nm.genDataEvents(i), 0);
  EXPECT_EQ(r->count(zv::NETWORK_DATA), 0);
  EXPECT_EQ(nm.getNumConnections(), 4);
  expectServed(nm, *r, good, 3, "still here");

  // On the engine's clock: at the idle limit, or with no limit, the
  // fragments stay; past it they are dropped. The good connection is idle
  // but holds nothing, and stays.
  auto after = [&](int limit, uint32_t ms) {
    ASSERT_EQ(nm.setIdleTimeout(limit), 0);
    nettest::virtual_now += ms * 1000u;
    for (int i = nm.getNumConnections() - 1; i >= 0; i--)
      nm.genDataEvents(i);
  };
  after(100, 100);
  after(0, 20 * 60 * 1000);
  EXPECT_EQ(nm.getNumConnections(), 4);
  after(100, 0);
  EXPECT_EQ(nm.getNumConnections(), 1);
  EXPECT_EQ(r->count(zv::NETWORK_CLOSE), 3);
  for (int n = 1; n <= 3; n++)
    EXPECT_TRUE(logged("NetworkManager::genDataEvents(): Error! Sock index " + std::to_string(n - 1) + " held " +
                       std::to_string(n) + " bytes of an incomplete message for over 100 ms. Closing it."));
  expectServed(nm, *r, good, 0, "and still");
}

TEST_F(NetworkTest, ImpossibleLengthsCloseOnlyTheOffender) {
  const int lengths[] = {0, 1, 3, -1, -4, INT_MIN, 64 * 1024 * 1024 + 1, INT_MAX, zv::DEFAULT_MAX_MESSAGE_BYTES + 1};
  NetRecorder* r = new NetRecorder;
  nm.setMaxSockets(2);
  int good = client();
  ASSERT_EQ(acceptOne(), 0);
  int closes = 0;
  for (int length : lengths) {
    SCOPED_TRACE(length);
    int bad = client();
    ASSERT_EQ(acceptOne(), 1);
    // The length alone, and the length with a little body, fail alike.
    ASSERT_TRUE(sendRaw(bad, lengthField(length) + (length % 2 ? "body" : "")));
    int result = 0;
    nettest::waitUntil([&] { return (result = nm.genDataEvents(1)) != 0; });
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(logged("NetworkManager::genDataEvents(): Error! Sock index 1 announced " + std::to_string(length) +
                       " bytes, not in range [4,65536]. Closing it."));
    EXPECT_EQ(r->count(zv::NETWORK_CLOSE), ++closes);
    EXPECT_EQ(r->seen.back().socket_index, 1);
    EXPECT_EQ(nm.getNumConnections(), 1);
    EXPECT_TRUE(nettest::closedByServer(bad));
    hangUp(bad);
    expectServed(nm, *r, good, 0, "ok after " + std::to_string(length));
  }
  EXPECT_EQ(r->count(zv::NETWORK_DATA), static_cast<int>(sizeof(lengths) / sizeof(lengths[0])));
}

TEST_F(NetworkTest, BadLengthAfterGoodMessagesStillDeliversThem) {
  NetRecorder* r = new NetRecorder;
  int fd = client();
  ASSERT_EQ(acceptOne(), 0);
  ASSERT_TRUE(sendRaw(fd, framed("one") + framed("two") + lengthField(2)));
  EXPECT_EQ(announce(0), 1);
  EXPECT_EQ(announce(0), 1);
  EXPECT_EQ(announce(0), -1);
  ASSERT_EQ(r->messages.size(), 2u);
  EXPECT_EQ(r->messages[0], framed("one"));
  EXPECT_EQ(r->messages[1], framed("two"));
  EXPECT_EQ(nm.getNumConnections(), 0);
}

TEST_F(NetworkTest, HangUpInTheMiddleOfAMessage) {
  NetRecorder* r = new NetRecorder;
  nm.setMaxSockets(2);
  int good = client();
  ASSERT_EQ(acceptOne(), 0);
  int bad = client();
  ASSERT_EQ(acceptOne(), 1);
  // A whole message, then half of the next one.
  ASSERT_TRUE(sendRaw(bad, framed("complete") + lengthField(100) + std::string(50, 'h')));
  hangUp(bad);
  EXPECT_EQ(announce(1), 1);
  EXPECT_EQ(r->messages.back(), framed("complete"));
  ASSERT_TRUE(nettest::waitUntil([&] {
    nm.genDataEvents(1);
    return nm.getNumConnections() == 1;
  }));
  EXPECT_TRUE(logged("NetworkManager::genDataEvents(): Warning! Sock index 1 closed by peer in the middle of a "
                     "message (54 bytes dropped)."));
  EXPECT_EQ(r->count(zv::NETWORK_CLOSE), 1);
  expectServed(nm, *r, good, 0, "unaffected");
}

TEST_F(NetworkTest, CleanHangUpClosesQuietly) {
  NetRecorder* r = new NetRecorder;
  int fd = client();
  ASSERT_EQ(acceptOne(), 0);
  ASSERT_TRUE(sendRaw(fd, framed("bye")));
  hangUp(fd);
  EXPECT_EQ(announce(0), 1);
  ASSERT_TRUE(nettest::waitUntil([&] {
    nm.genDataEvents(0);
    return nm.getNumConnections() == 0;
  }));
  EXPECT_TRUE(logged("NetworkManager::genDataEvents(): Sock index 0 closed by peer."));
  EXPECT_FALSE(logged("Warning! Sock index 0 closed by peer"));
  EXPECT_EQ(r->count(zv::NETWORK_CLOSE), 1);
}

TEST_F(NetworkTest, ResetConnectionIsClosed) {
  NetRecorder* r = new NetRecorder;
  int fd = client();
  ASSERT_EQ(acceptOne(), 0);
  ASSERT_TRUE(sendRaw(fd, lengthField(40) + "partial"));
  struct linger abort_close = {1, 0};
  ASSERT_EQ(setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort_close, sizeof(abort_close)), 0);
  hangUp(fd);  // sends a reset
  ASSERT_TRUE(nettest::waitUntil([&] {
    nm.genDataEvents(0);
    return nm.getNumConnections() == 0;
  }));
  EXPECT_EQ(r->count(zv::NETWORK_CLOSE), 1);
  EXPECT_EQ(r->count(zv::NETWORK_DATA), 0);
}

TEST_F(NetworkTest, SilentPeerBlocksNobody) {
  NetRecorder* r = new NetRecorder;
  nm.setMaxSockets(2);
  client();  // connects and never sends
  ASSERT_EQ(acceptOne(), 0);
  int good = client();
  ASSERT_EQ(acceptOne(), 1);
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 1000; i++)
    ASSERT_EQ(nm.genDataEvents(0), 0);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 5.0);  // never waits on the silent one
  expectServed(nm, *r, good, 1, "served");
  EXPECT_EQ(nm.getNumConnections(), 2);
  EXPECT_EQ(r->count(zv::NETWORK_CLOSE), 0);
}

TEST_F(NetworkTest, CrowdBeyondTheLimitIsTurnedAway) {
  NetRecorder* r = new NetRecorder;
  nm.setMaxSockets(3);
  std::vector<int> fds;
  for (int i = 0; i < 5; i++)
    fds.push_back(client());
  int accepted = 0;
  int turned_away = 0;
  ASSERT_TRUE(nettest::waitUntil([&] {
    int result = nm.accept();
    if (result >= 0)
      accepted++;
    else if (result == -1 && loggedCount("but at limit (3).") > turned_away)
      turned_away++;
    return accepted + turned_away == 5;
  }));
  EXPECT_EQ(accepted, 3);
  EXPECT_EQ(nm.getNumConnections(), 3);
  EXPECT_EQ(r->count(zv::NETWORK_ACCEPT), 3);
  EXPECT_EQ(loggedCount("NetworkManager::accept(): Warning! accept() connection, but at limit (3)."), 2);
  EXPECT_EQ(loggedCount("\tUse NM.setMaxSockets() to change."), 2);
  for (int i = 0; i < 3; i++)
    EXPECT_FALSE(nettest::closedByServer(fds[static_cast<std::size_t>(i)], 50)) << i;
  for (int i = 3; i < 5; i++)
    EXPECT_TRUE(nettest::closedByServer(fds[static_cast<std::size_t>(i)])) << i;
}

TEST_F(NetworkTest, ManyShortVisitsLeaveNoDescriptorBehind) {
  NetRecorder* r = new NetRecorder;
  int before = nettest::openDescriptors();
  ASSERT_GT(before, 0);
  for (int i = 0; i < 200; i++) {
    int fd = nettest::connectClient(port);
    ASSERT_GE(fd, 0) << i;
    ASSERT_EQ(acceptOne(), 0) << i;
    if (i % 2) {
      ASSERT_TRUE(sendRaw(fd, framed("visit") + lengthField(30)));  // and leave half a message
    }
    close(fd);
    ASSERT_TRUE(nettest::waitUntil([&] {
      nm.genDataEvents(0);
      return nm.getNumConnections() == 0;
    })) << i;
  }
  EXPECT_EQ(nettest::openDescriptors(), before);
  EXPECT_EQ(r->count(zv::NETWORK_ACCEPT), 200);
  EXPECT_EQ(r->count(zv::NETWORK_CLOSE), 200);
  EXPECT_EQ(r->count(zv::NETWORK_DATA), 100);
  // Stopping the manager releases the listening socket too.
  nm.shutDown();
  EXPECT_EQ(nettest::openDescriptors(), before - 1);
}

TEST_F(NetworkTest, SteadyFloodOfSmallMessagesNeverStalls) {
  // Messages cut across the sender's segments at every offset; a reader that
  // left the partial ones in the system's queue used to pin it full.
  NetRecorder* r = new NetRecorder;
  r->consume = false;
  long long total_bytes = 0;
  long long messages = 0;
  r->also = [&](const zv::EventNetwork& e) {
    if (e.getLabel() != zv::NETWORK_DATA)
      return;
    std::string message(static_cast<std::size_t>(e.getBytes()), '\0');
    ASSERT_EQ(nm.receive(e.getSocketIndex(), &message[0], e.getBytes()), e.getBytes());
    ASSERT_EQ(message, framed(std::string(static_cast<std::size_t>(e.getBytes() - 4), 'm')));
    total_bytes += e.getBytes();
    messages++;
  };
  int fd = client();
  ASSERT_EQ(acceptOne(), 0);
  const int count = 100000;
  long long expected_bytes = 0;
  std::string stream;
  for (int i = 0; i < count; i++) {
    std::string m = framed(std::string(static_cast<std::size_t>(i % 37), 'm'));
    expected_bytes += static_cast<long long>(m.size());
    stream += m;
  }
  std::thread sender([&] { sendRaw(fd, stream); });
  bool all = nettest::waitUntil(
      [&] {
        while (nm.genDataEvents(0) == 1) {
        }
        return messages == count;
      },
      60000);
  if (!all)
    shutdown(fd, SHUT_RDWR);  // frees a sender stuck on a full queue
  sender.join();
  EXPECT_TRUE(all);
  EXPECT_EQ(messages, count);
  EXPECT_EQ(total_bytes, expected_bytes);
  EXPECT_EQ(nm.getNumConnections(), 1);
}
