// The other end of a connection, for benchmarks, fuzzers and tests: blocking
// helpers that the engine itself never needs, since nothing in it may wait
// on a peer. A failing call returns -1 with errno telling why.
#ifndef ZV_PEER_H
#define ZV_PEER_H

namespace zvpeer {

// A blocking TCP connection to port on the loopback address, without
// delaying small sends: its handle, or -1.
int connectLoopback(int port);
// Two connected local stream sockets, both non-blocking and closed on exec:
// 0 or -1.
int socketPair(int& first, int& second);
// Sends all length bytes, waiting up to timeout_ms in all for room: 0, or -1
// (errno ETIMEDOUT when the time ran out first).
int sendAll(int handle, const void* buffer, int length, int timeout_ms);
// Receives exactly length bytes, waiting up to timeout_ms in all: length,
// fewer when the stream ended first, or -1 (ETIMEDOUT when the time ran out).
int receiveAll(int handle, void* buffer, int length, int timeout_ms);
// Whether the other end closes the connection within timeout_ms; false too
// when data comes first.
bool closedWithin(int handle, int timeout_ms);

} // namespace zvpeer

#endif
