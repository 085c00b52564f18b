#include <zelvra/network/NetworkManager.h>

#include <algorithm>
#include <cassert>
#include <cstring>

#include <zelvra/core/LogManager.h>
#include <zelvra/platform/Platform.h>
#include <zelvra/platform/Socket.h>

namespace zv {

namespace {
const int CONNECT_TIMEOUT_MS = 5000;
// Largest single read into a connection's buffer.
const std::size_t READ_CHUNK = 64 * 1024;

// Marks an entry whose close event is being handed out; unique per handle
// and never a valid handle, so the entry can be found after the handlers ran.
int closingMark(int handle) { return -2 - handle; }
} // namespace

NetworkManager::NetworkManager()
    : sock(platform::INVALID_SOCKET_HANDLE),
      max_sockets(1),
      max_message_bytes(DEFAULT_MAX_MESSAGE_BYTES),
      max_queue_bytes(DEFAULT_MAX_QUEUE_BYTES),
      idle_timeout_ms(DEFAULT_IDLE_TIMEOUT_MS),
      read_buffer(READ_CHUNK) {
  setType("NetworkManager");
}

NetworkManager::~NetworkManager() {
  // At process exit: release the handles, nobody is left to tell.
  for (const Connection& c : connections)
    if (c.handle >= 0)
      platform::closeSocket(c.handle);
  if (sock != platform::INVALID_SOCKET_HANDLE)
    platform::closeSocket(sock);
}

NetworkManager& NetworkManager::getInstance() {
  static NetworkManager instance;
  return instance;
}

int NetworkManager::startUp() {
  LogManager& log = LogManager::getInstance();
  if (warnIfStarted())
    return -1;
  Manager::startUp();
  log.writeLog(5, "NetworkManager::startUp(): successfully started.");
  return 0;
}

void NetworkManager::shutDown() {
  // From the last, so that the indexes the handlers know stay valid.
  while (!connections.empty())
    closeConnection(static_cast<int>(connections.size()) - 1, "shutDown");
  if (sock != platform::INVALID_SOCKET_HANDLE) {
    platform::closeSocket(sock);
    sock = platform::INVALID_SOCKET_HANDLE;
  }
  Manager::shutDown();
  LogManager::getInstance().writeLog(5, "NetworkManager::shutDown(): successfully stopped.");
}

bool NetworkManager::isValid(std::string event_type) const {
  if (event_type == NETWORK_EVENT || event_type == KEYBOARD_NETWORK_EVENT || event_type == MOUSE_NETWORK_EVENT ||
      event_type == CUSTOM_NETWORK_EVENT)
    return true;
  LogManager::getInstance().writeLog("NetworkManager::isValid(): Error! NetworkManager does not handle %s.",
                                     event_type.c_str());
  return false;
}

bool NetworkManager::connected(int sock_index) const {
  return sock_index >= 0 && sock_index < static_cast<int>(connections.size()) &&
         connections[static_cast<std::size_t>(sock_index)].handle >= 0;
}

NetworkManager::Connection& NetworkManager::connection(int sock_index) {
  assert(sock_index >= 0 && sock_index < static_cast<int>(connections.size()));
  return connections[static_cast<std::size_t>(sock_index)];
}

void NetworkManager::logError(int code) const {
  LogManager::getInstance().writeLog("\t%d - %s", code, platform::socketErrorText(code).c_str());
}

int NetworkManager::accept() {
  LogManager& log = LogManager::getInstance();
  if (!isServer()) {
    log.writeLog("NetworkManager::accept(): Error! Not setup as server.");
    return -2;
  }
  int handle = platform::acceptConnection(sock);
  if (handle == platform::INVALID_SOCKET_HANDLE) {
    if (platform::lastSocketErrorWouldBlock()) {
      log.writeLog(15, "NetworkManager::accept(): No new connection. Not blocking.");
      return -1;
    }
    int code = platform::lastSocketError();
    log.writeLog("NetworkManager::accept(): Error! accept() returned:");
    logError(code);
    return -2;
  }
  if (static_cast<int>(connections.size()) >= max_sockets) {
    log.writeLog(1, "NetworkManager::accept(): Warning! accept() connection, but at limit (%d).", max_sockets);
    log.writeLog(1, "\tUse NM.setMaxSockets() to change.");
    platform::closeSocket(handle);
    return -1;
  }
  log.writeLog(1, "NetworkManager::accept(): New connection.");
  int index = addConnection(handle);
  EventNetwork event(NETWORK_ACCEPT);
  event.setSocketIndex(index);
  onEvent(&event);
  return index;
}

int NetworkManager::genDataEvents(int sock_index) {
  if (!connected(sock_index))
    return 0;
  // Replies go out before new requests come in.
  if (!sendQueued(sock_index, "genDataEvents"))
    return -1;
  int length = nextMessage(sock_index, "genDataEvents");
  if (length == PEER_GONE)
    return 0;
  if (length == -1)
    return -1;
  if (length == 0)
    return expireIncomplete(sock_index) ? -1 : 0;
  connection(sock_index).holding = false;

  LogManager::getInstance().writeLog(15, "NetworkManager::genDataEvents(): have full message (%d bytes).", length);
  EventNetwork event(NETWORK_DATA);
  event.setSocketIndex(sock_index);
  event.setBytes(length);
  onEvent(&event);
  return 1;
}

int NetworkManager::expireIncomplete(int sock_index) {
  Connection& c = connection(sock_index);
  int64_t now = platform::monotonicMicros();
  if (!c.holding || c.inbox.empty()) {  // the clock starts at the message's first bytes
    c.holding = !c.inbox.empty();
    c.holding_since = now;
    return 0;
  }
  if (idle_timeout_ms == 0 || now - c.holding_since <= static_cast<int64_t>(idle_timeout_ms) * 1000)
    return 0;
  LogManager::getInstance().writeLog(
      "NetworkManager::genDataEvents(): Error! Sock index %d held %zu bytes of an incomplete message for over %d ms. "
      "Closing it.",
      sock_index, c.inbox.size(), idle_timeout_ms);
  closeConnection(sock_index, "genDataEvents");
  return 1;
}

bool NetworkManager::sendQueued(int sock_index, const char* caller) {
  Connection& c = connection(sock_index);
  if (!c.broken && flush(c, caller) == 0)
    return true;
  closeConnection(sock_index, caller);
  return false;
}

int NetworkManager::nextMessage(int sock_index, const char* caller) {
  int length = wholeLength(sock_index, caller);
  if (length != 0)
    return length;
  int read = readAhead(sock_index, caller);
  return read != 0 ? read : wholeLength(sock_index, caller);
}

int NetworkManager::wholeLength(int sock_index, const char* caller) {
  const ByteQueue& inbox = connection(sock_index).inbox;
  if (inbox.size() < static_cast<std::size_t>(MESSAGE_HEADER_BYTES))
    return 0;
  int length = messageLength(inbox.front());
  if (length < MESSAGE_HEADER_BYTES || length > max_message_bytes) {
    LogManager::getInstance().writeLog(
        "NetworkManager::%s(): Error! Sock index %d announced %d bytes, not in range [%d,%d]. Closing it.", caller,
        sock_index, length, MESSAGE_HEADER_BYTES, max_message_bytes);
    closeConnection(sock_index, caller);
    return -1;
  }
  return inbox.size() >= static_cast<std::size_t>(length) ? length : 0;
}

int NetworkManager::readAhead(int sock_index, const char* caller) {
  Connection& c = connection(sock_index);
  // Called only while the first message is not all in, and that message
  // fits the limit: there is room.
  assert(c.inbox.size() < static_cast<std::size_t>(max_message_bytes));
  std::size_t want = std::min(static_cast<std::size_t>(max_message_bytes) - c.inbox.size(), READ_CHUNK);
  int count = platform::receiveSome(c.handle, read_buffer.data(), static_cast<int>(want), false);
  if (count > 0) {
    c.inbox.push(read_buffer.data(), static_cast<std::size_t>(count));
    return 0;
  }
  if (count == 0) {
    closeByPeer(sock_index, caller);
    return PEER_GONE;
  }
  if (platform::lastSocketErrorWouldBlock())
    return 0;
  int code = platform::lastSocketError();
  LogManager::getInstance().writeLog("NetworkManager::%s(): Error! recv() returned:", caller);
  logError(code);
  return -1;
}

void NetworkManager::closeByPeer(int sock_index, const char* caller) {
  LogManager& log = LogManager::getInstance();
  std::size_t dropped = connection(sock_index).inbox.size();
  if (dropped > 0)
    log.writeLog("NetworkManager::%s(): Warning! Sock index %d closed by peer in the middle of a message (%zu bytes "
                 "dropped).",
                 caller, sock_index, dropped);
  else
    log.writeLog(1, "NetworkManager::%s(): Sock index %d closed by peer.", caller, sock_index);
  closeConnection(sock_index, caller);
}

int NetworkManager::writeSome(Connection& c, const char* data, std::size_t length, const char* caller) {
  int count = platform::sendSome(c.handle, data, static_cast<int>(length));
  if (count >= 0)
    return count;
  if (platform::lastSocketErrorWouldBlock())
    return 0;
  int code = platform::lastSocketError();
  LogManager::getInstance().writeLog("NetworkManager::%s(): Error! send() returned:", caller);
  logError(code);
  c.broken = true;
  return -1;
}

int NetworkManager::flush(Connection& c, const char* caller) {
  if (c.outbox.empty())
    return 0;
  int count = writeSome(c, c.outbox.front(), c.outbox.size(), caller);
  if (count == -1)
    return -1;
  c.outbox.pop(static_cast<std::size_t>(count));
  return 0;
}

int NetworkManager::isData(int sock_index) const {
  LogManager& log = LogManager::getInstance();
  if (!connected(sock_index)) {
    log.writeLog("NetworkManager::isData(): Error! Sock index %d not connected.", sock_index);
    return -1;
  }
  const Connection& c = connections[static_cast<std::size_t>(sock_index)];
  int waiting = platform::bytesWaiting(c.handle);
  if (waiting == -1) {
    int code = platform::lastSocketError();
    log.writeLog("NetworkManager::isData(): Error! ioctl()/ioctlsocket() returned:");
    logError(code);
    return -1;
  }
  return waiting + static_cast<int>(c.inbox.size());
}

int NetworkManager::close(int sock_index) { return closeConnection(sock_index, "close"); }

int NetworkManager::closeConnection(int sock_index, const char* caller) {
  LogManager& log = LogManager::getInstance();
  if (sock_index < 0 || sock_index >= static_cast<int>(connections.size())) {
    log.writeLog("NetworkManager::close(): sock_index (%d) out of range.", sock_index);
    return -1;
  }
  Connection& entry = connection(sock_index);
  if (entry.handle < 0)
    return -1;  // its close event is being handed out right now
  // A broken stream has nothing worth sending; the others get what the
  // system takes now, and no more.
  if (!entry.broken && (flush(entry, caller) == -1 || !entry.outbox.empty()))
    log.writeLog("NetworkManager::%s(): Warning! Sock index %d closed with %zu queued bytes dropped.", caller,
                 sock_index, entry.outbox.size());
  int handle = entry.handle;
  entry.handle = closingMark(handle);
  entry.inbox.clear();
  entry.outbox.clear();
  int result = 0;
  if (platform::closeSocket(handle) == -1) {
    int code = platform::lastSocketError();
    log.writeLog("NetworkManager::close(): Error! close() returned:");
    logError(code);
    result = -1;
  }
  // Handlers may close, connect or accept; find the entry again afterwards.
  EventNetwork event(NETWORK_CLOSE);
  event.setSocketIndex(sock_index);
  onEvent(&event);
  for (std::size_t i = 0; i < connections.size(); i++) {
    if (connections[i].handle == closingMark(handle)) {
      connections.erase(connections.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  }
  return result;
}

bool NetworkManager::isServer() const { return sock != platform::INVALID_SOCKET_HANDLE; }
int NetworkManager::getNumConnections() const { return static_cast<int>(connections.size()); }
void NetworkManager::setMaxSockets(int new_max_sockets) { max_sockets = new_max_sockets; }
int NetworkManager::getMaxSockets() const { return max_sockets; }

int NetworkManager::setServer(std::string port, std::string address) {
  LogManager& log = LogManager::getInstance();
  if (isServer()) {
    log.writeLog("NetworkManager::setServer(): Warning! Already listening on port %d.", getPort());
    return -1;
  }
  int handle = platform::listenOn(address, port);
  if (handle == platform::INVALID_SOCKET_HANDLE) {
    int code = platform::lastSocketError();
    log.writeLog("NetworkManager::setServer(): Error! Cannot listen on %s port %s:",
                 address.empty() ? "every address" : address.c_str(), port.c_str());
    logError(code);
    return -1;
  }
  sock = handle;
  log.writeLog(1, "NetworkManager::setServer(): Listening on port %d.", getPort());
  return 0;
}

int NetworkManager::getPort() const { return isServer() ? platform::boundPort(sock) : -1; }

int NetworkManager::connect(std::string host, std::string port) {
  LogManager& log = LogManager::getInstance();
  int handle = platform::connectTo(host, port, CONNECT_TIMEOUT_MS);
  if (handle == platform::INVALID_SOCKET_HANDLE) {
    int code = platform::lastSocketError();
    log.writeLog("NetworkManager::connect(): Error! Cannot connect to %s port %s:", host.c_str(), port.c_str());
    logError(code);
    return -1;
  }
  log.writeLog(1, "NetworkManager::connect(): Connected to %s port %s.", host.c_str(), port.c_str());
  return addConnection(handle);
}

int NetworkManager::addConnection(int handle) {
  if (handle < 0) {
    LogManager::getInstance().writeLog("NetworkManager::addConnection(): Error! Invalid socket handle (%d).", handle);
    return -1;
  }
  Connection c;
  c.handle = handle;
  connections.push_back(c);
  return static_cast<int>(connections.size()) - 1;
}

int NetworkManager::send(int sock_index, const void* buffer, int bytes) {
  LogManager& log = LogManager::getInstance();
  if (!connected(sock_index)) {
    log.writeLog("NetworkManager::send(): Error! Sock index %d not connected.", sock_index);
    return -1;
  }
  if (bytes < 0 || (bytes > 0 && !buffer)) {
    log.writeLog("NetworkManager::send(): Error! Nothing to send (%d bytes).", bytes);
    return -1;
  }
  Connection& c = connection(sock_index);
  if (c.broken) {
    log.writeLog("NetworkManager::send(): Error! Sock index %d is being closed.", sock_index);
    return -1;
  }
  if (flush(c, "send") == -1)
    return -1;
  const char* p = static_cast<const char*>(buffer);
  std::size_t done = 0;
  if (c.outbox.empty()) {  // else the new bytes must wait their turn
    int count = writeSome(c, p, static_cast<std::size_t>(bytes), "send");
    if (count == -1)
      return -1;
    done = static_cast<std::size_t>(count);
  }
  std::size_t rest = static_cast<std::size_t>(bytes) - done;
  if (rest == 0)
    return 0;
  if (c.outbox.size() + rest > static_cast<std::size_t>(max_queue_bytes)) {
    log.writeLog("NetworkManager::send(): Error! Sock index %d would queue %zu bytes, over the limit (%d). Closing it.",
                 sock_index, c.outbox.size() + rest, max_queue_bytes);
    c.broken = true;
    return -1;
  }
  c.outbox.push(p + done, rest);
  return 0;
}

int NetworkManager::receive(int sock_index, void* buffer, int bytes, bool peek) {
  LogManager& log = LogManager::getInstance();
  if (!connected(sock_index)) {
    log.writeLog("NetworkManager::receive(): Error! Sock index %d not connected.", sock_index);
    return -1;
  }
  if (bytes <= 0 || !buffer)
    return 0;
  Connection& c = connection(sock_index);
  char* p = static_cast<char*>(buffer);
  // What was read ahead comes first.
  std::size_t ahead = std::min(c.inbox.size(), static_cast<std::size_t>(bytes));
  memcpy(p, c.inbox.front(), ahead);
  if (!peek)
    c.inbox.pop(ahead);
  int done = static_cast<int>(ahead);
  while (done < bytes) {
    int count = platform::receiveSome(c.handle, p + done, bytes - done, peek);
    if (count == -1) {
      if (platform::lastSocketErrorWouldBlock())
        break;
      int code = platform::lastSocketError();
      log.writeLog("NetworkManager::receive(): Error! recv() returned:");
      logError(code);
      return done > 0 ? done : -1;
    }
    done += count;
    if (count == 0 || peek)  // a peek sees only what waits now
      break;
  }
  return done;
}

int NetworkManager::sendMessage(int sock_index, const std::string& body) {
  LogManager& log = LogManager::getInstance();
  long long total = static_cast<long long>(body.size()) + MESSAGE_HEADER_BYTES;
  if (total > max_message_bytes) {
    log.writeLog("NetworkManager::sendMessage(): Error! Message of %lld bytes is longer than the maximum (%d).", total,
                 max_message_bytes);
    return -1;
  }
  std::string message = frameMessage(body);
  return send(sock_index, message.data(), static_cast<int>(message.size()));
}

int NetworkManager::receiveMessage(int sock_index, std::string& body, int timeout_ms) {
  LogManager& log = LogManager::getInstance();
  if (!connected(sock_index)) {
    log.writeLog("NetworkManager::receiveMessage(): Error! Sock index %d not connected.", sock_index);
    return -1;
  }
  int64_t deadline = platform::monotonicMicros() + static_cast<int64_t>(timeout_ms) * 1000;
  bool waited_out = false;
  while (true) {
    if (!sendQueued(sock_index, "receiveMessage"))
      return -1;
    int length = nextMessage(sock_index, "receiveMessage");
    if (length < 0)
      return -1;
    Connection& c = connection(sock_index);
    if (length > 0) {
      body.assign(c.inbox.front() + MESSAGE_HEADER_BYTES, static_cast<std::size_t>(length - MESSAGE_HEADER_BYTES));
      c.inbox.pop(static_cast<std::size_t>(length));
      return 0;
    }
    // A wait that ran its whole time ends it too, should a replaced clock
    // stand still.
    int64_t left_ms = (deadline - platform::monotonicMicros()) / 1000;
    if (left_ms <= 0 || waited_out) {
      log.writeLog("NetworkManager::receiveMessage(): Error! No whole message within %d ms.", timeout_ms);
      return -1;
    }
    waited_out = platform::waitReady(c.handle, !c.outbox.empty(), static_cast<int>(left_ms)) == 0;
  }
}

int NetworkManager::setMaxMessageLength(int new_max_bytes) {
  if (new_max_bytes < MESSAGE_HEADER_BYTES) {
    LogManager::getInstance().writeLog("NetworkManager::setMaxMessageLength(): Error! %d is below the header's %d bytes.",
                                       new_max_bytes, MESSAGE_HEADER_BYTES);
    return -1;
  }
  max_message_bytes = new_max_bytes;
  return 0;
}

int NetworkManager::getMaxMessageLength() const { return max_message_bytes; }

int NetworkManager::setMaxQueueBytes(int new_max_bytes) {
  if (new_max_bytes < 0) {
    LogManager::getInstance().writeLog("NetworkManager::setMaxQueueBytes(): Error! %d is below 0.", new_max_bytes);
    return -1;
  }
  max_queue_bytes = new_max_bytes;
  return 0;
}

int NetworkManager::getMaxQueueBytes() const { return max_queue_bytes; }

int NetworkManager::setIdleTimeout(int new_timeout_ms) {
  if (new_timeout_ms < 0) {
    LogManager::getInstance().writeLog("NetworkManager::setIdleTimeout(): Error! %d ms is below 0.", new_timeout_ms);
    return -1;
  }
  idle_timeout_ms = new_timeout_ms;
  return 0;
}

int NetworkManager::getIdleTimeout() const { return idle_timeout_ms; }

int NetworkManager::getQueuedBytes(int sock_index) const {
  return connected(sock_index) ? static_cast<int>(connections[static_cast<std::size_t>(sock_index)].outbox.size()) : -1;
}

} // namespace zv
