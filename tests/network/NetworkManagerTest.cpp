// The NetworkManager's operations and their edge cases, on real loopback
// sockets.
#include <cerrno>
#include <cstring>

#include <sys/socket.h>

#include "NetworkFixture.h"
#include "world/WorldManager.h"

using nettest::framed;
using nettest::lengthField;
using nettest::NetRecorder;
using nettest::sendRaw;
using zv::NetworkManager;

namespace {
std::string errorLine(int code) { return std::string("\t") + std::to_string(code) + " - " + strerror(code); }
} // namespace

TEST(NetworkManagerLife, StartTwiceAndStopLines) {
  zv::LogManager::getInstance().setLogLevel(5);
  ASSERT_EQ(zvtest::startHeadless(), 0);
  NetworkManager& nm = NetworkManager::getInstance();
  EXPECT_EQ(nm.getType(), "NetworkManager");
  EXPECT_FALSE(nm.isServer());
  EXPECT_EQ(nm.getNumConnections(), 0);
  EXPECT_EQ(nm.getMaxSockets(), 1);
  EXPECT_EQ(nm.getMaxMessageLength(), zv::DEFAULT_MAX_MESSAGE_BYTES);
  EXPECT_EQ(nm.startUp(), 0);
  EXPECT_EQ(nm.startUp(), -1);
  nm.shutDown();
  EXPECT_FALSE(nm.isStarted());
  zv::GameManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("NetworkManager::startUp(): successfully started."));
  EXPECT_TRUE(zvtest::logContains("NetworkManager::startup(): Warning! NetworkManager already started."));
  EXPECT_TRUE(zvtest::logContains("NetworkManager::shutDown(): successfully stopped."));
}

TEST(NetworkManagerLife, TakesTheFourNetworkTypesOnly) {
  ASSERT_EQ(zvtest::startHeadless("networking:true,"), 0);
  NetworkManager& nm = NetworkManager::getInstance();
  for (const std::string& type :
       {zv::NETWORK_EVENT, zv::KEYBOARD_NETWORK_EVENT, zv::MOUSE_NETWORK_EVENT, zv::CUSTOM_NETWORK_EVENT})
    EXPECT_TRUE(nm.isValid(type)) << type;
  EXPECT_FALSE(nm.isValid(zv::STEP_EVENT));
  EXPECT_FALSE(nm.isValid("zv-network-extra"));
  zv::GameManager::getInstance().shutDown();
  EXPECT_TRUE(zvtest::logContains("NetworkManager::isValid(): Error! NetworkManager does not handle zv-step."));
  EXPECT_TRUE(zvtest::logContains("NetworkManager::isValid(): Error! NetworkManager does not handle zv-network-extra."));
}

TEST(NetworkManagerLife, ObjectsRegisterNetworkTypesWithTheNetworkManager) {
  ASSERT_EQ(zvtest::startHeadless("networking:true,"), 0);
  zvtest::Recorder* p = new zvtest::Recorder;
  for (const std::string& type :
       {zv::NETWORK_EVENT, zv::KEYBOARD_NETWORK_EVENT, zv::MOUSE_NETWORK_EVENT, zv::CUSTOM_NETWORK_EVENT}) {
    ASSERT_EQ(p->registerInterest(type), 0) << type;
    zv::Event e;
    e.setType(type);
    EXPECT_EQ(NetworkManager::getInstance().onEvent(&e), 1) << type;
    EXPECT_EQ(zv::WorldManager::getInstance().onEvent(&e), 0) << type;
  }
  zv::EventNetwork accepted(zv::NETWORK_ACCEPT);
  EXPECT_EQ(NetworkManager::getInstance().onEvent(&accepted), 1);
  EXPECT_EQ(p->unregisterInterest(zv::CUSTOM_NETWORK_EVENT), 0);
  zv::Event custom;
  custom.setType(zv::CUSTOM_NETWORK_EVENT);
  EXPECT_EQ(NetworkManager::getInstance().onEvent(&custom), 0);
  zv::GameManager::getInstance().shutDown();
}

TEST(NetworkManagerLife, ListeningNeedsAFreeAddress) {
  ASSERT_EQ(zvtest::startHeadless("networking:true,"), 0);
  NetworkManager& nm = NetworkManager::getInstance();
  EXPECT_EQ(nm.getPort(), -1);
  EXPECT_EQ(nm.accept(), -2);
  EXPECT_TRUE(zvtest::logContains("NetworkManager::accept(): Error! Not setup as server."));

  // Another socket holds a port: listening there fails with the system's reason.
  int holder = socket(AF_INET, SOCK_STREAM, 0);
  struct sockaddr_in address;
  memset(&address, 0, sizeof(address));
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(holder, reinterpret_cast<struct sockaddr*>(&address), sizeof(address)), 0);
  ASSERT_EQ(listen(holder, 1), 0);
  socklen_t length = sizeof(address);
  ASSERT_EQ(getsockname(holder, reinterpret_cast<struct sockaddr*>(&address), &length), 0);
  std::string taken = std::to_string(ntohs(address.sin_port));
  EXPECT_EQ(nm.setServer(taken, "127.0.0.1"), -1);
  EXPECT_FALSE(nm.isServer());
  EXPECT_TRUE(zvtest::logContains("NetworkManager::setServer(): Error! Cannot listen on 127.0.0.1 port " + taken + ":"));
  EXPECT_TRUE(zvtest::logContains(errorLine(EADDRINUSE)));
  close(holder);

  EXPECT_EQ(nm.setServer("0", "not an address"), -1);
  EXPECT_FALSE(nm.isServer());
  EXPECT_EQ(nm.setServer("0"), 0);
  EXPECT_TRUE(nm.isServer());
  int port = nm.getPort();
  EXPECT_GT(port, 0);
  EXPECT_EQ(nm.setServer("0"), -1);
  EXPECT_EQ(nm.getPort(), port);
  zv::GameManager::getInstance().shutDown();
  EXPECT_FALSE(nm.isServer());
  EXPECT_TRUE(zvtest::logContains("NetworkManager::setServer(): Warning! Already listening on port " +
                                  std::to_string(port) + "."));
}

TEST_F(NetworkTest, EveryAddressTakesIPv4Clients) {
  // The fixture's server is on 127.0.0.1; a second engine run listens on all.
  zv::GameManager::getInstance().shutDown();
  ASSERT_EQ(zvtest::startHeadless("networking:true,"), 0);
  ASSERT_EQ(nm.setServer("0"), 0);
  port = nm.getPort();
  client();
  EXPECT_EQ(acceptOne(), 0);
}

TEST_F(NetworkTest, AcceptGivesIndexesAndTheAcceptEvent) {
  NetRecorder* r = new NetRecorder;
  EXPECT_EQ(nm.accept(), -1);  // nobody waiting
  nm.setMaxSockets(2);
  client();
  EXPECT_EQ(acceptOne(), 0);
  client();
  EXPECT_EQ(acceptOne(), 1);
  EXPECT_EQ(nm.getNumConnections(), 2);
  ASSERT_EQ(r->seen.size(), 2u);
  EXPECT_EQ(r->seen[0].label, zv::NETWORK_ACCEPT);
  EXPECT_EQ(r->seen[0].socket_index, 0);
  EXPECT_EQ(r->seen[0].bytes, 0);
  EXPECT_EQ(r->seen[1].socket_index, 1);
  EXPECT_EQ(loggedCount("NetworkManager::accept(): New connection."), 2);
}

TEST_F(NetworkTest, NoWaitingConnectionIsQuietBelowLevel15) {
  EXPECT_EQ(nm.accept(), -1);
  EXPECT_FALSE(logged("No new connection"));
  zv::LogManager::getInstance().setLogLevel(15);
  EXPECT_EQ(nm.accept(), -1);
  EXPECT_TRUE(logged("NetworkManager::accept(): No new connection. Not blocking."));
}

TEST_F(NetworkTest, DefaultLimitClosesTheSecondClient) {
  NetRecorder* r = new NetRecorder;
  client();
  ASSERT_EQ(acceptOne(), 0);
  int second = client();
  int result = 0;
  nettest::waitUntil([&] { return (result = nm.accept()) == -1 && logged("at limit"); });
  EXPECT_EQ(result, -1);
  EXPECT_EQ(nm.getNumConnections(), 1);
  EXPECT_EQ(r->count(zv::NETWORK_ACCEPT), 1);
  EXPECT_TRUE(logged("NetworkManager::accept(): Warning! accept() connection, but at limit (1)."));
  EXPECT_TRUE(logged("\tUse NM.setMaxSockets() to change."));
  EXPECT_TRUE(nettest::closedByServer(second));
}

TEST_F(NetworkTest, MessagesAreAnnouncedOnlyWhenComplete) {
  NetRecorder* r = new NetRecorder;
  r->consume = false;
  int fd = client();
  ASSERT_EQ(acceptOne(), 0);
  EXPECT_EQ(nm.genDataEvents(0), 0);  // nothing yet

  ASSERT_TRUE(sendRaw(fd, lengthField(10).substr(0, 3)));
  ASSERT_TRUE(nettest::waitUntil([&] { return nm.isData(0) == 3; }));
  EXPECT_EQ(nm.genDataEvents(0), 0);

  ASSERT_TRUE(sendRaw(fd, lengthField(10).substr(3) + "abcd"));
  ASSERT_TRUE(nettest::waitUntil([&] { return nm.isData(0) == 8; }));
  EXPECT_EQ(nm.genDataEvents(0), 0);
  EXPECT_EQ(r->count(zv::NETWORK_DATA), 0);

  ASSERT_TRUE(sendRaw(fd, "ef"));
  EXPECT_EQ(announce(0), 1);
  ASSERT_EQ(r->count(zv::NETWORK_DATA), 1);
  EXPECT_EQ(r->seen.back().bytes, 10);
  EXPECT_EQ(r->seen.back().socket_index, 0);
  // Nothing was taken off: the same message is announced again.
  EXPECT_EQ(nm.genDataEvents(0), 1);
  EXPECT_EQ(nm.isData(0), 10);
}

TEST_F(NetworkTest, LengthFourIsAnEmptyMessage) {
  NetRecorder* r = new NetRecorder;
  int fd = client();
  ASSERT_EQ(acceptOne(), 0);
  ASSERT_TRUE(sendRaw(fd, lengthField(4)));
  EXPECT_EQ(announce(0), 1);
  ASSERT_EQ(r->messages.size(), 1u);
  EXPECT_EQ(r->messages[0], lengthField(4));
  EXPECT_EQ(nm.isData(0), 0);
  EXPECT_EQ(nm.genDataEvents(0), 0);
}

TEST_F(NetworkTest, MessagesQueuedTogetherComeOneAtATime) {
  NetRecorder* r = new NetRecorder;
  int fd = client();
  ASSERT_EQ(acceptOne(), 0);
  std::string burst;
  for (int i = 0; i < 50; i++)
    burst += framed("message " + std::to_string(i) + std::string(static_cast<std::size_t>(i), '.'));
  ASSERT_TRUE(sendRaw(fd, burst));
  for (int i = 0; i < 50; i++)
    ASSERT_EQ(announce(0), 1) << i;
  EXPECT_EQ(nm.genDataEvents(0), 0);
  ASSERT_EQ(r->messages.size(), 50u);
  for (int i = 0; i < 50; i++)
    EXPECT_EQ(r->messages[static_cast<std::size_t>(i)],
              framed("message " + std::to_string(i) + std::string(static_cast<std::size_t>(i), '.')));
}

TEST_F(NetworkTest, LargestAllowedMessageArrivesWhole) {
  NetRecorder* r = new NetRecorder;
  int fd = client();
  ASSERT_EQ(acceptOne(), 0);
  std::string body(static_cast<std::size_t>(zv::DEFAULT_MAX_MESSAGE_BYTES - 4), 'x');
  for (std::size_t i = 0; i < body.size(); i++)
    body[i] = static_cast<char>('a' + i % 26);
  std::string message = framed(body);
  // In small pieces, so that the receive queue holds many segments.
  for (std::size_t at = 0; at < message.size(); at += 1000)
    ASSERT_TRUE(sendRaw(fd, message.substr(at, 1000)));
  EXPECT_EQ(announce(0), 1);
  ASSERT_EQ(r->messages.size(), 1u);
  EXPECT_TRUE(r->messages[0] == message);
}

TEST_F(NetworkTest, OutOfRangeIndexes) {
  int fd = client();
  ASSERT_EQ(acceptOne(), 0);
  ASSERT_TRUE(sendRaw(fd, framed("hello")));
  ASSERT_TRUE(nettest::waitUntil([&] { return nm.isData(0) == 9; }));
  int lines = static_cast<int>(zvtest::logMessages().size());
  EXPECT_EQ(nm.genDataEvents(1), 0);
  EXPECT_EQ(nm.genDataEvents(-1), 0);
  EXPECT_EQ(static_cast<int>(zvtest::logMessages().size()), lines);  // silently
  EXPECT_EQ(nm.isData(1), -1);
  EXPECT_EQ(nm.isData(-1), -1);
  EXPECT_TRUE(logged("NetworkManager::isData(): Error! Sock index 1 not connected."));
  EXPECT_TRUE(logged("NetworkManager::isData(): Error! Sock index -1 not connected."));
  EXPECT_EQ(nm.close(1), -1);
  EXPECT_EQ(nm.close(-3), -1);
  EXPECT_TRUE(logged("NetworkManager::close(): sock_index (1) out of range."));
  EXPECT_TRUE(logged("NetworkManager::close(): sock_index (-3) out of range."));
  char buffer[8];
  EXPECT_EQ(nm.receive(2, buffer, 8), -1);
  EXPECT_EQ(nm.send(2, buffer, 8), -1);
  EXPECT_EQ(nm.getNumConnections(), 1);
}

TEST_F(NetworkTest, CloseSendsItsEventAndMovesLaterConnectionsDown) {
  NetRecorder* r = new NetRecorder;
  nm.setMaxSockets(3);
  int a = client();
  ASSERT_EQ(acceptOne(), 0);
  client();
  ASSERT_EQ(acceptOne(), 1);
  int c = client();
  ASSERT_EQ(acceptOne(), 2);
  EXPECT_EQ(nm.close(0), 0);
  EXPECT_EQ(nm.getNumConnections(), 2);
  EXPECT_EQ(r->seen.back().label, zv::NETWORK_CLOSE);
  EXPECT_EQ(r->seen.back().socket_index, 0);
  EXPECT_TRUE(nettest::closedByServer(a));
  // The third client is now index 1.
  ASSERT_TRUE(sendRaw(c, framed("third")));
  EXPECT_EQ(announce(1), 1);
  EXPECT_EQ(r->messages.back(), framed("third"));
}

TEST_F(NetworkTest, ShutDownClosesEveryConnectionWithItsEvent) {
  NetRecorder* r = new NetRecorder;
  nm.setMaxSockets(3);
  std::vector<int> fds;
  for (int i = 0; i < 3; i++) {
    fds.push_back(client());
    ASSERT_EQ(acceptOne(), i);
  }
  nm.shutDown();
  EXPECT_EQ(nm.getNumConnections(), 0);
  EXPECT_EQ(r->count(zv::NETWORK_CLOSE), 3);
  std::vector<int> indexes;
  for (const nettest::Seen& s : r->seen)
    if (s.label == zv::NETWORK_CLOSE)
      indexes.push_back(s.socket_index);
  EXPECT_EQ(indexes, (std::vector<int>{2, 1, 0}));
  EXPECT_FALSE(nm.isServer());
  for (int fd : fds)
    EXPECT_TRUE(nettest::closedByServer(fd));
  EXPECT_LT(nettest::connectClient(port), 0);  // nobody listens any more
}

TEST_F(NetworkTest, HandlersMayCloseOtherConnectionsDuringACloseEvent) {
  NetRecorder* r = new NetRecorder;
  nm.setMaxSockets(3);
  for (int i = 0; i < 3; i++) {
    client();
    ASSERT_EQ(acceptOne(), i);
  }
  bool once = false;
  r->also = [&](const zv::EventNetwork& e) {
    if (e.getLabel() == zv::NETWORK_CLOSE && !once) {
      once = true;
      EXPECT_EQ(nm.isData(e.getSocketIndex()), -1);  // already gone
      nm.close(0);                                   // another one, from inside
    }
  };
  EXPECT_EQ(nm.close(2), 0);
  EXPECT_EQ(nm.getNumConnections(), 1);
  EXPECT_EQ(r->count(zv::NETWORK_CLOSE), 2);
  // The one left is the middle client, now index 0 and still working.
  EXPECT_GE(nm.isData(0), 0);
}

TEST_F(NetworkTest, SystemErrorsAreLoggedWithTheirText) {
  // A listening socket is not a connection: counting and peeking fail.
  int listener = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_EQ(listen(listener, 1), 0);
  int index = nm.addConnection(listener);
  ASSERT_EQ(index, 0);
  EXPECT_EQ(nm.isData(index), -1);
  EXPECT_TRUE(logged("NetworkManager::isData(): Error! ioctl()/ioctlsocket() returned:"));
  EXPECT_TRUE(logged(errorLine(EINVAL)));
  EXPECT_EQ(nm.genDataEvents(index), -1);
  EXPECT_TRUE(logged("NetworkManager::genDataEvents(): Error! recv() returned:"));
  EXPECT_TRUE(logged(errorLine(ENOTCONN)));
  EXPECT_EQ(nm.getNumConnections(), 1);  // an error leaves the table alone

  // A handle closed behind the manager's back: the close fails, the entry goes.
  NetRecorder* r = new NetRecorder;
  close(listener);
  EXPECT_EQ(nm.close(index), -1);
  EXPECT_TRUE(logged("NetworkManager::close(): Error! close() returned:"));
  EXPECT_TRUE(logged(errorLine(EBADF)));
  EXPECT_EQ(nm.getNumConnections(), 0);
  EXPECT_EQ(r->count(zv::NETWORK_CLOSE), 1);
  EXPECT_EQ(nm.addConnection(-1), -1);
  EXPECT_TRUE(logged("NetworkManager::addConnection(): Error! Invalid socket handle (-1)."));
}

TEST_F(NetworkTest, ClientSideRoundTripThroughTheSameManager) {
  nm.setMaxSockets(2);
  int to_server = nm.connect("127.0.0.1", std::to_string(port));
  ASSERT_EQ(to_server, 0);
  int from_client = acceptOne();
  ASSERT_EQ(from_client, 1);
  EXPECT_EQ(nm.sendMessage(to_server, "ping"), 0);
  std::string body;
  EXPECT_EQ(nm.receiveMessage(from_client, body), 0);
  EXPECT_EQ(body, "ping");
  EXPECT_EQ(nm.sendMessage(from_client, ""), 0);
  EXPECT_EQ(nm.receiveMessage(to_server, body), 0);
  EXPECT_EQ(body, "");
  EXPECT_EQ(nm.getNumConnections(), 2);
}

TEST_F(NetworkTest, ClientSideFailures) {
  NetRecorder* r = new NetRecorder;
  // Nobody listens on a port that was just freed.
  int probe = socket(AF_INET, SOCK_STREAM, 0);
  struct sockaddr_in address;
  memset(&address, 0, sizeof(address));
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(probe, reinterpret_cast<struct sockaddr*>(&address), sizeof(address)), 0);
  socklen_t length = sizeof(address);
  ASSERT_EQ(getsockname(probe, reinterpret_cast<struct sockaddr*>(&address), &length), 0);
  close(probe);
  std::string free_port = std::to_string(ntohs(address.sin_port));
  EXPECT_EQ(nm.connect("127.0.0.1", free_port), -1);
  EXPECT_TRUE(logged("NetworkManager::connect(): Error! Cannot connect to 127.0.0.1 port " + free_port + ":"));
  EXPECT_TRUE(logged(errorLine(ECONNREFUSED)));
  EXPECT_EQ(nm.getNumConnections(), 0);

  // A message longer than the maximum is refused before anything is sent.
  int to_server = nm.connect("localhost", std::to_string(port));
  ASSERT_EQ(to_server, 0);
  EXPECT_EQ(nm.sendMessage(to_server, std::string(static_cast<std::size_t>(zv::DEFAULT_MAX_MESSAGE_BYTES), 'x')), -1);
  EXPECT_TRUE(logged("NetworkManager::sendMessage(): Error! Message of 65540 bytes is longer than the maximum (65536)."));

  // No reply in time: an error, but the connection stays.
  std::string body = "unchanged";
  EXPECT_EQ(nm.receiveMessage(to_server, body, 50), -1);
  EXPECT_EQ(body, "unchanged");
  EXPECT_TRUE(logged("NetworkManager::receiveMessage(): Error! No whole message within 50 ms."));
  EXPECT_EQ(nm.getNumConnections(), 1);
  EXPECT_EQ(r->count(zv::NETWORK_CLOSE), 0);
}

TEST_F(NetworkTest, ReceiveMessageKeepsWhatCameBeforeATimeOut) {
  nm.setMaxSockets(2);
  int to_server = nm.connect("127.0.0.1", std::to_string(port));
  ASSERT_EQ(to_server, 0);
  int from_client = acceptOne();
  ASSERT_EQ(from_client, 1);
  std::string message = framed("patience");
  ASSERT_EQ(nm.send(from_client, message.data(), 7), 0);
  std::string body;
  EXPECT_EQ(nm.receiveMessage(to_server, body, 50), -1);
  ASSERT_EQ(nm.send(from_client, message.data() + 7, static_cast<int>(message.size()) - 7), 0);
  EXPECT_EQ(nm.receiveMessage(to_server, body), 0);
  EXPECT_EQ(body, "patience");
}

TEST_F(NetworkTest, ReceiveMessageRefusesBadLengthsAndShortStreams) {
  nm.setMaxSockets(2);
  int b = client();
  ASSERT_EQ(acceptOne(), 0);
  std::string body;
  for (int length : {-5, 0}) {  // refused at once, not after the time-out
    int a = client();
    ASSERT_EQ(acceptOne(), 1);
    ASSERT_TRUE(sendRaw(a, lengthField(length)));
    EXPECT_EQ(nm.receiveMessage(1, body, 60000), -1);
    EXPECT_TRUE(logged("NetworkManager::receiveMessage(): Error! Sock index 1 announced " + std::to_string(length) +
                       " bytes, not in range [4,65536]. Closing it."));
    EXPECT_TRUE(nettest::closedByServer(a));
  }
  // b is index 0: half a message, then gone.
  ASSERT_TRUE(sendRaw(b, lengthField(20) + "half"));
  hangUp(b);
  EXPECT_EQ(nm.receiveMessage(0, body), -1);
  EXPECT_TRUE(logged("NetworkManager::receiveMessage(): Warning! Sock index 0 closed by peer in the middle of a message "
                     "(8 bytes dropped)."));
  EXPECT_EQ(nm.getNumConnections(), 0);
}

TEST_F(NetworkTest, SendingToAGonePeerFailsWithoutKillingTheProcess) {
  int fd = client();
  ASSERT_EQ(acceptOne(), 0);
  hangUp(fd);
  std::string data(64 * 1024, 'z');
  int result = 0;
  // The first send may still be taken by the system; the reset comes after.
  for (int i = 0; i < 20 && result == 0; i++) {
    result = nm.send(0, data.data(), static_cast<int>(data.size()));
    usleep(1000);
  }
  EXPECT_EQ(result, -1);
  EXPECT_TRUE(logged("NetworkManager::send(): Error! send() returned:"));
}

TEST_F(NetworkTest, PeerThatNeverReadsCostsQueuedBytesUntilShutDown) {
  int pair[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  ASSERT_EQ(nm.addConnection(pair[0]), 0);
  ASSERT_EQ(nm.setMaxQueueBytes(-1), -1);
  ASSERT_EQ(nm.setMaxQueueBytes(16 * 1024 * 1024), 0);
  std::string data(8 * 1024 * 1024, 'q');
  EXPECT_EQ(nm.send(0, data.data(), static_cast<int>(data.size())), 0);  // taken at once
  int queued = nm.getQueuedBytes(0);
  EXPECT_GT(queued, 0);
  nm.shutDown();
  EXPECT_TRUE(logged("NetworkManager::shutDown(): Warning! Sock index 0 closed with " + std::to_string(queued) +
                     " queued bytes dropped."));
  close(pair[1]);
}

TEST_F(NetworkTest, MaximumMessageLengthCanBeChanged) {
  NetRecorder* r = new NetRecorder;
  EXPECT_EQ(nm.setMaxMessageLength(3), -1);
  EXPECT_TRUE(logged("NetworkManager::setMaxMessageLength(): Error! 3 is below the header's 4 bytes."));
  EXPECT_EQ(nm.getMaxMessageLength(), zv::DEFAULT_MAX_MESSAGE_BYTES);
  EXPECT_EQ(nm.setMaxMessageLength(16), 0);
  int fd = client();
  ASSERT_EQ(acceptOne(), 0);
  ASSERT_TRUE(sendRaw(fd, framed(std::string(12, 'k'))));
  EXPECT_EQ(announce(0), 1);
  ASSERT_TRUE(sendRaw(fd, framed(std::string(13, 'k'))));
  EXPECT_EQ(announce(0), -1);
  EXPECT_TRUE(logged("Sock index 0 announced 17 bytes, not in range [4,16]. Closing it."));
  EXPECT_EQ(r->count(zv::NETWORK_CLOSE), 1);
}
