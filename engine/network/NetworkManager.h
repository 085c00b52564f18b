// TCP connections whose complete messages become events. The manager only
// announces a message; the object handling the event takes its bytes off
// the connection with receive(). A message is its total length (header
// included, native-order 32-bit) followed by the body.
//
// Bytes are read ahead into a buffer of each connection, at most the
// longest message allowed: a message left half in the system's receive
// queue could otherwise pin that queue full and stall the connection.
//
// Nothing waits on a peer: what the system does not take at once is queued
// per connection and written at the start of each network step, so a peer
// that stops reading costs memory (up to a limit), never frame time.
#ifndef ZV_NETWORK_MANAGER_H
#define ZV_NETWORK_MANAGER_H

#include <cstdint>
#include <string>
#include <vector>

#include <zelvra/core/Manager.h>
#include <zelvra/network/ByteQueue.h>
#include <zelvra/network/EventNetwork.h>
#include <zelvra/network/Message.h>

namespace zv {

inline const std::string DEFAULT_PORT = "9876";
// How long receiveMessage() waits for a reply by default.
const int NETWORK_TIMEOUT_MS = 2000;
// Most bytes a connection may have queued for sending.
const int DEFAULT_MAX_QUEUE_BYTES = 1024 * 1024;
// How long a connection may hold an incomplete message; 0 is no limit.
const int DEFAULT_IDLE_TIMEOUT_MS = 5000;

class NetworkManager : public Manager {
 private:
  struct Connection {
    int handle = -1;
    ByteQueue inbox;   // bytes read ahead
    ByteQueue outbox;  // bytes the system has not taken yet
    // A send failed or would pass the queue limit: the stream may have lost
    // its framing, so the next network step closes the connection.
    bool broken = false;
    bool holding = false;       // an incomplete message is read ahead...
    int64_t holding_since = 0;  // ...since this time of the engine's clock
  };
  // What reading gives when the peer had gone and its connection was closed.
  static constexpr int PEER_GONE = -2;

  int sock;                             // listening socket, or invalid
  std::vector<Connection> connections;  // the index is the socket index
  int max_sockets;
  int max_message_bytes;
  int max_queue_bytes;
  int idle_timeout_ms;
  std::vector<char> read_buffer;

  NetworkManager();
  NetworkManager(const NetworkManager&) = delete;
  void operator=(const NetworkManager&) = delete;

  bool connected(int sock_index) const;
  // The connection at a socket index that is in range.
  Connection& connection(int sock_index);
  void logError(int code) const;
  // Writes what the system takes of the queue now: true, or false when the
  // connection is broken (it has then been closed).
  bool sendQueued(int sock_index, const char* caller);
  // Reads ahead unless the first message is already all in: its length once
  // it is; 0 while it is not; -1 on a receive error, or on a length out of
  // range (both logged; the latter closes the connection); or PEER_GONE.
  int nextMessage(int sock_index, const char* caller);
  // Where every length a peer announces is checked: the first message's
  // length when it is all in, 0 while it is not, -1 when the length is
  // outside MESSAGE_HEADER_BYTES..max_message_bytes (logged, the connection
  // closed).
  int wholeLength(int sock_index, const char* caller);
  // One read into the connection's buffer: 0, -1 on a receive error, or
  // PEER_GONE.
  int readAhead(int sock_index, const char* caller);
  // A peer that stopped sending: its connection is closed.
  void closeByPeer(int sock_index, const char* caller);
  // Writes what the system takes now: the count (0 when it takes nothing),
  // or -1 on an error (logged, the connection marked broken).
  int writeSome(Connection& c, const char* data, std::size_t length, const char* caller);
  // Writes queued bytes without waiting: 0, or -1 on an error.
  int flush(Connection& c, const char* caller);
  // Times the incomplete message a connection holds; closes the connection
  // once it has held it too long: 1 when it did, else 0.
  int expireIncomplete(int sock_index);
  // close() on behalf of caller: writes what the system takes of the queue
  // and logs what had to be dropped.
  int closeConnection(int sock_index, const char* caller);

 public:
  static NetworkManager& getInstance();
  ~NetworkManager() override;

  // 0, or -1 when already started. Sockets need no library set-up here.
  int startUp() override;
  // Closes every connection (each with its close event) and the listening socket.
  void shutDown() override;
  bool isValid(std::string event_type) const override;

  // The socket index of a new connection; -1 when none waits or at the
  // limit (the newcomer is closed at once); -2 on an error or without a
  // listening socket.
  int accept();
  // Writes the connection's queue, then reads. 1 when a whole message was
  // announced, 0 when none is complete (or no such connection), -1 on a
  // receive error, a length outside 4..getMaxMessageLength(), an
  // incomplete message held longer than getIdleTimeout(), or a broken
  // send (that connection is then closed). A connection whose peer has
  // gone is closed with its close event.
  int genDataEvents(int sock_index);
  // Bytes waiting on the connection, or -1.
  int isData(int sock_index) const;
  // Closes one connection; later connections move down one index. What the
  // system does not take of its queue at once is dropped. 0 or -1.
  int close(int sock_index);
  bool isServer() const;
  int getNumConnections() const;
  void setMaxSockets(int new_max_sockets);
  int getMaxSockets() const;

  // Listens, without blocking, on port at address (empty: every address).
  // Port "0" picks a free port; getPort() tells which. 0 or -1.
  int setServer(std::string port = DEFAULT_PORT, std::string address = "");
  // The listening port, or -1 when not a server.
  int getPort() const;
  // Connects to a server; the socket index of the connection, or -1.
  int connect(std::string host, std::string port = DEFAULT_PORT);
  // Takes an already connected socket (one end of a socket pair, one made
  // by another library); its socket index, or -1.
  int addConnection(int handle);

  // Sends all bytes without waiting: what the system does not take now is
  // queued behind earlier sends. 0, or -1 when nothing was sent; when the
  // queue would pass getMaxQueueBytes() or the system reports an error,
  // -1 and the connection is closed at its next network step (indexes
  // stay as they are until then).
  int send(int sock_index, const void* buffer, int bytes);
  // Takes up to bytes waiting bytes (leaves them with peek): the count, or -1.
  int receive(int sock_index, void* buffer, int bytes, bool peek = false);
  // Frames body with its length and sends it. 0 or -1.
  int sendMessage(int sock_index, const std::string& body);
  // Waits for one whole message and takes it off the connection, writing
  // the queue meanwhile: 0 with the body; -1 when none came in time (what
  // did come stays), on an error, or when the peer broke the framing or
  // left or a send had failed (then it is closed).
  int receiveMessage(int sock_index, std::string& body, int timeout_ms = NETWORK_TIMEOUT_MS);

  // Longest message accepted, header included (at least 4). 0 or -1.
  int setMaxMessageLength(int new_max_bytes);
  int getMaxMessageLength() const;
  // Most bytes a connection may have queued (0 or more). 0 or -1.
  int setMaxQueueBytes(int new_max_bytes);
  int getMaxQueueBytes() const;
  // How long a connection may hold an incomplete message, 0 (no limit)
  // or more. 0 or -1.
  int setIdleTimeout(int new_timeout_ms);
  int getIdleTimeout() const;
  // Bytes queued for sending on a connection, or -1.
  int getQueuedBytes(int sock_index) const;
};

} // namespace zv

#endif
