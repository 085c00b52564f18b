// The engine's one door to the operating system's sockets. Every socket made
// here is non-blocking and closed on exec; nothing here ever raises SIGPIPE.
// A failing call returns -1 and records the error of the calling thread,
// read back with lastSocketError() and socketErrorText().
#ifndef ZV_SOCKET_H
#define ZV_SOCKET_H

#include <string>

namespace zv {
namespace platform {

const int INVALID_SOCKET_HANDLE = -1;

// Error code of this thread's last failed socket call, and its text.
// Name-resolution failures carry the resolver's (negative) codes.
int lastSocketError();
std::string socketErrorText(int code);
// Whether the last failure only means "nothing there yet".
bool lastSocketErrorWouldBlock();

// A TCP listening socket on address (empty: every address of the machine,
// IPv6 and IPv4 where the system has both) and port ("0": any free port):
// its handle, or -1.
int listenOn(const std::string& address, const std::string& port);
// The local port a socket is bound to, or -1.
int boundPort(int handle);
// Takes one waiting connection: its handle, or -1 (a would-block error when
// none waits).
int acceptConnection(int listen_handle);
// Connects to host and port, waiting at most timeout_ms for the handshake:
// the handle, or -1.
int connectTo(const std::string& host, const std::string& port, int timeout_ms);

// Bytes waiting to be read, or -1.
int bytesWaiting(int handle);
// Up to length bytes without waiting: the count, 0 at the end of the
// stream, -1 on an error (a would-block error when nothing waits).
int receiveSome(int handle, void* buffer, int length, bool peek);
// Sends without waiting: the count taken by the system, or -1.
int sendSome(int handle, const void* buffer, int length);
// Waits until the socket can be read, or also written when writable is
// set (1), the time is up (0), or -1.
int waitReady(int handle, bool writable, int timeout_ms);
// Releases the handle, even when it reports an error: 0 or -1.
int closeSocket(int handle);

} // namespace platform
} // namespace zv

#endif
