#include <zelvra/platform/Socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <zelvra/platform/Platform.h>

namespace zv {
namespace platform {

namespace {

thread_local int last_error = 0;

int fail(int code) {
  last_error = code;
  return -1;
}

int64_t nowMillis() { return monotonicMicros() / 1000; }

// poll() for one socket, restarted after signals until the deadline: 1 when
// it is ready, 0 when the time is up, or -1.
int pollOne(int handle, short events, int64_t deadline) {
  while (true) {
    struct pollfd p = {handle, events, 0};
    int64_t left = deadline - nowMillis();
    int result = poll(&p, 1, left > 0 ? static_cast<int>(left) : 0);
    if (result >= 0)
      return result;
    if (errno != EINTR)
      return fail(errno);
  }
}

void noDelay(int handle) {
  // Game messages are small and latency matters more than packing them;
  // a socket that refuses the option still works.
  int one = 1;
  setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
}

struct AddressList {
  struct addrinfo* head = nullptr;
  ~AddressList() {
    if (head)
      freeaddrinfo(head);
  }
};

int resolve(const char* node, const std::string& port, int flags, AddressList& list) {
  struct addrinfo hints;
  memset(&hints, 0, sizeof(hints));
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = flags;
  int result = getaddrinfo(node, port.c_str(), &hints, &list.head);
  if (result == 0)
    return 0;
  return fail(result == EAI_SYSTEM ? errno : result);
}

} // namespace

int lastSocketError() { return last_error; }

std::string socketErrorText(int code) {
  if (code < 0)
    return gai_strerror(code);
  char buffer[256];
  return strerror_r(code, buffer, sizeof(buffer));
}

bool lastSocketErrorWouldBlock() { return last_error == EAGAIN || last_error == EWOULDBLOCK; }

int listenOn(const std::string& address, const std::string& port) {
  AddressList list;
  if (resolve(address.empty() ? nullptr : address.c_str(), port, AI_PASSIVE, list) == -1)
    return -1;
  std::vector<struct addrinfo*> candidates;
  for (struct addrinfo* p = list.head; p; p = p->ai_next)
    candidates.push_back(p);
  // For every address, one IPv6 socket that also takes IPv4 serves both.
  if (address.empty())
    std::stable_partition(candidates.begin(), candidates.end(),
                          [](struct addrinfo* p) { return p->ai_family == AF_INET6; });
  int error = EADDRNOTAVAIL;
  for (struct addrinfo* p : candidates) {
    int handle = socket(p->ai_family, p->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, p->ai_protocol);
    if (handle == -1) {
      error = errno;
      continue;
    }
    int one = 1;
    setsockopt(handle, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    if (p->ai_family == AF_INET6 && address.empty()) {
      int zero = 0;
      setsockopt(handle, IPPROTO_IPV6, IPV6_V6ONLY, &zero, sizeof(zero));
    }
    if (bind(handle, p->ai_addr, p->ai_addrlen) == 0 && listen(handle, SOMAXCONN) == 0)
      return handle;
    error = errno;
    close(handle);
  }
  return fail(error);
}

int boundPort(int handle) {
  struct sockaddr_storage address;
  socklen_t length = sizeof(address);
  if (getsockname(handle, reinterpret_cast<struct sockaddr*>(&address), &length) == -1)
    return fail(errno);
  if (address.ss_family == AF_INET)
    return ntohs(reinterpret_cast<struct sockaddr_in*>(&address)->sin_port);
  if (address.ss_family == AF_INET6)
    return ntohs(reinterpret_cast<struct sockaddr_in6*>(&address)->sin6_port);
  return fail(EAFNOSUPPORT);
}

int acceptConnection(int listen_handle) {
  while (true) {
    struct sockaddr_storage address;
    socklen_t length = sizeof(address);
    int handle = accept4(listen_handle, reinterpret_cast<struct sockaddr*>(&address), &length,
                         SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (handle >= 0) {
      noDelay(handle);
      return handle;
    }
    if (errno != EINTR)
      return fail(errno);
  }
}

int connectTo(const std::string& host, const std::string& port, int timeout_ms) {
  int64_t deadline = nowMillis() + timeout_ms;
  AddressList list;
  if (resolve(host.c_str(), port, 0, list) == -1)
    return -1;
  int error = EADDRNOTAVAIL;
  for (struct addrinfo* p = list.head; p; p = p->ai_next) {
    int handle = socket(p->ai_family, p->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, p->ai_protocol);
    if (handle == -1) {
      error = errno;
      continue;
    }
    if (connect(handle, p->ai_addr, p->ai_addrlen) == 0) {
      noDelay(handle);
      return handle;
    }
    error = errno;
    if (error == EINPROGRESS) {
      int ready = pollOne(handle, POLLOUT, deadline);
      if (ready == 1) {
        socklen_t length = sizeof(error);
        if (getsockopt(handle, SOL_SOCKET, SO_ERROR, &error, &length) == -1)
          error = errno;
        if (error == 0) {
          noDelay(handle);
          return handle;
        }
      } else {
        error = ready == 0 ? ETIMEDOUT : last_error;
      }
    }
    close(handle);
    if (error == ETIMEDOUT)
      break;
  }
  return fail(error);
}

int bytesWaiting(int handle) {
  int count = 0;
  if (ioctl(handle, FIONREAD, &count) == -1)
    return fail(errno);
  return count;
}

int receiveSome(int handle, void* buffer, int length, bool peek) {
  int flags = MSG_DONTWAIT | (peek ? MSG_PEEK : 0);
  while (true) {
    ssize_t count = recv(handle, buffer, static_cast<size_t>(length), flags);
    if (count >= 0)
      return static_cast<int>(count);
    if (errno != EINTR)
      return fail(errno);
  }
}

int sendSome(int handle, const void* buffer, int length) {
  while (true) {
    ssize_t count = send(handle, buffer, static_cast<size_t>(length), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (count >= 0)
      return static_cast<int>(count);
    if (errno != EINTR)
      return fail(errno);
  }
}

int waitReady(int handle, bool writable, int timeout_ms) {
  return pollOne(handle, static_cast<short>(POLLIN | (writable ? POLLOUT : 0)), nowMillis() + timeout_ms);
}

int closeSocket(int handle) {
  // Linux releases the handle even when close() reports EINTR: never retry.
  if (close(handle) == -1)
    return fail(errno);
  return 0;
}

} // namespace platform
} // namespace zv
