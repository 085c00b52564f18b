// TCP connections whose complete messages become events. The manager only
// announces a message; the object handling the event takes its bytes off
// the connection with receive(). A message is its total length (header
// included, native-order 32-bit) followed by the body.
//
// Bytes are read ahead into a buffer of each connection, at most the
// longest message allowed: a message left half in the system's receive
// queue could otherwise pin that queue full and stall the connection.
#ifndef ZV_NETWORK_MANAGER_H
#define ZV_NETWORK_MANAGER_H

#include <string>
#include <vector>

#include "core/Manager.h"
#include "network/EventNetwork.h"

namespace zv {

inline const std::string DEFAULT_PORT = "9876";
// How long send() and receiveMessage() wait for a slow peer.
const int NETWORK_TIMEOUT_MS = 2000;

class NetworkManager : public Manager {
 private:
  struct Connection {
    int handle;
    std::string inbox;        // bytes read ahead, from inbox_start on
    std::size_t inbox_start;
    std::size_t waiting() const { return inbox.size() - inbox_start; }
  };

  int sock;                             // listening socket, or invalid
  std::vector<Connection> connections;  // the index is the socket index
  int max_sockets;
  int max_message_bytes;
  std::vector<char> read_buffer;

  NetworkManager();
  NetworkManager(const NetworkManager&) = delete;
  void operator=(const NetworkManager&) = delete;

  bool connected(int sock_index) const;
  void logError(int code) const;
  // Length of the first message read ahead, or 0 when its header is not in.
  int firstLength(const Connection& c) const;
  // Reads ahead unless a whole message is already in: 0, -1 on a receive
  // error, 1 when the peer had gone and the connection was closed.
  int fill(int sock_index, const char* caller);
  // A peer that stopped sending: its connection is closed.
  void closeByPeer(int sock_index, const char* caller);

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
  // 1 when a whole message was announced, 0 when none is complete (or no
  // such connection), -1 on a receive error or a length outside
  // 4..getMaxMessageLength() (that connection is then closed). A
  // connection whose peer has gone is closed with its close event.
  int genDataEvents(int sock_index);
  // Bytes waiting on the connection, or -1.
  int isData(int sock_index) const;
  // Closes one connection; later connections move down one index. 0 or -1.
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

  // Sends all bytes, waiting a bounded time for room. 0 or -1.
  int send(int sock_index, const void* buffer, int bytes);
  // Takes up to bytes waiting bytes (leaves them with peek): the count, or -1.
  int receive(int sock_index, void* buffer, int bytes, bool peek = false);
  // Frames body with its length and sends it. 0 or -1.
  int sendMessage(int sock_index, const std::string& body);
  // Waits for one whole message and takes it off the connection: 0 with
  // the body; -1 when none came in time (what did come stays), on an
  // error, or when the peer broke the framing or left (then it is closed).
  int receiveMessage(int sock_index, std::string& body, int timeout_ms = NETWORK_TIMEOUT_MS);

  // Longest message accepted, header included (at least 4). 0 or -1.
  int setMaxMessageLength(int new_max_bytes);
  int getMaxMessageLength() const;
};

} // namespace zv

#endif
