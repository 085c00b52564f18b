#include "Peer.h"

#include <cerrno>
#include <chrono>

#include <arpa/inet.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace zvpeer {

namespace {

using Deadline = std::chrono::steady_clock::time_point;

Deadline after(int timeout_ms) { return std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms); }

// Waits for events until the deadline: 0 when they came, -1 otherwise.
int waitFor(int handle, short events, Deadline deadline) {
  while (true) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    struct pollfd p = {handle, events, 0};
    int result = poll(&p, 1, left.count() > 0 ? static_cast<int>(left.count()) : 0);
    if (result == 1)
      return 0;
    if (result == 0)
      errno = ETIMEDOUT;
    if (result == 0 || errno != EINTR)
      return -1;
  }
}

bool wouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR; }

} // namespace

int connectLoopback(int port) {
  int handle = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  struct sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  // Small messages go out at once, as from the engine's own connections.
  int one = 1;
  if (handle == -1 || (connect(handle, reinterpret_cast<struct sockaddr*>(&address), sizeof(address)) == 0 &&
                       setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one)) == 0))
    return handle;
  int error = errno;
  close(handle);
  errno = error;
  return -1;
}

int socketPair(int& first, int& second) {
  int handles[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, handles) == -1)
    return -1;
  first = handles[0];
  second = handles[1];
  return 0;
}

int sendAll(int handle, const void* buffer, int length, int timeout_ms) {
  Deadline deadline = after(timeout_ms);
  const char* p = static_cast<const char*>(buffer);
  for (int done = 0; done < length;) {
    ssize_t count = send(handle, p + done, static_cast<size_t>(length - done), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (count > 0)
      done += static_cast<int>(count);
    else if (!wouldBlock() || waitFor(handle, POLLOUT, deadline) == -1)
      return -1;
  }
  return 0;
}

int receiveAll(int handle, void* buffer, int length, int timeout_ms) {
  Deadline deadline = after(timeout_ms);
  char* p = static_cast<char*>(buffer);
  int done = 0;
  while (done < length) {
    ssize_t count = recv(handle, p + done, static_cast<size_t>(length - done), MSG_DONTWAIT);
    if (count == 0)
      break;
    if (count > 0)
      done += static_cast<int>(count);
    else if (!wouldBlock() || waitFor(handle, POLLIN, deadline) == -1)
      return -1;
  }
  return done;
}

bool closedWithin(int handle, int timeout_ms) {
  char c;
  return waitFor(handle, POLLIN, after(timeout_ms)) == 0 && recv(handle, &c, 1, MSG_PEEK | MSG_DONTWAIT) <= 0;
}

} // namespace zvpeer
