// Network throughput: N loopback clients (threads) send small framed
// messages as fast as they can to a headless engine whose handler takes
// each announced message off its connection.
//
//   bench_network [CLIENTS [SECONDS [BODY_BYTES]]]     defaults 4, 3, 16
//
// Phase 1 calls genDataEvents over every connection without pause, as the
// network step does while messages keep coming, and reports messages per
// second and per 6.6 ms (the network share of a 33 ms frame). Phase 2 runs
// the real game loop at 33 ms a frame and reports the messages handled in
// each frame's network share.
//
//   bench_network rtt [SECONDS]                          default 15
//
// Round trips next to hostile peers: 64 clients each send a message and
// wait for its echo, over and over, while one client sends large requests
// and never reads the replies and 16 trickle a header one byte a second
// (each reconnects when closed). Reports a well-behaved client's round
// trip (median, 99th percentile, maximum), the longest frame period of the
// game loop meanwhile, and anything lost.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include <zelvra/core/EventStep.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/network/EventNetwork.h>
#include <zelvra/network/NetworkManager.h>
#include "Peer.h"
#include <zelvra/platform/Socket.h>
#include <zelvra/world/Object.h>

namespace {

using Clock = std::chrono::steady_clock;

const double NETWORK_SHARE_MS = 33 * 0.2;
const int MESSAGES_PER_SEND = 64;
const int LOOP_FRAMES = 90;

std::atomic<bool> stop_clients(false);
std::atomic<long long> client_errors(0);
std::atomic<long long> messages_sent(0);

void client(int port, int body_bytes) {
  int fd = zvpeer::connectLoopback(port);
  if (fd < 0) {
    client_errors++;
    return;
  }
  std::string batch;
  for (int i = 0; i < MESSAGES_PER_SEND; i++)
    batch += zv::frameMessage(std::string(static_cast<std::size_t>(body_bytes), static_cast<char>('a' + i % 26)));
  // Whole batches only, or the stream would lose its framing; the server
  // closing the connection at the end ends the wait.
  while (!stop_clients) {
    if (zvpeer::sendAll(fd, batch.data(), static_cast<int>(batch.size()), 60000) != 0) {
      if (!stop_clients)
        client_errors++;
      break;
    }
    messages_sent += MESSAGES_PER_SEND;
  }
  zv::platform::closeSocket(fd);
}

class Handler : public zv::Object {
 public:
  long long handled = 0;
  long long bad = 0;
  std::vector<long long> at_step;  // handled so far at the start of each frame
  std::vector<char> buffer = std::vector<char>(static_cast<std::size_t>(zv::DEFAULT_MAX_MESSAGE_BYTES));

  Handler() {
    registerInterest(zv::NETWORK_EVENT);
    registerInterest(zv::STEP_EVENT);
  }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() == zv::STEP_EVENT) {
      at_step.push_back(handled);
      if (static_cast<int>(at_step.size()) > LOOP_FRAMES)
        zv::GameManager::getInstance().setGameOver(true);
      return 1;
    }
    const zv::EventNetwork& e = *static_cast<const zv::EventNetwork*>(p_e);
    if (e.getLabel() != zv::NETWORK_DATA)
      return 1;
    int got = zv::NetworkManager::getInstance().receive(e.getSocketIndex(), buffer.data(), e.getBytes());
    int32_t length = 0;
    memcpy(&length, buffer.data(), sizeof(length));
    if (got != e.getBytes() || length != got)
      bad++;
    handled++;
    return 1;
  }
};

// Round-trip mode.
const int RTT_CLIENTS = 64;
const int TRICKLERS = 16;
const int HOSTILE_REQUEST_BYTES = 60004;
// Frames run after the clients stop, so that round trips under way end.
const int SETTLE_FRAMES = 15;

std::atomic<bool> rtt_go(false);
std::atomic<long long> rtt_lost(0);
std::atomic<long long> hostile_closes(0);
std::atomic<long long> trickler_closes(0);
std::mutex rtt_mutex;
std::vector<long long> rtt_micros;

void roundTripClient(int port, int id) {
  int fd = zvpeer::connectLoopback(port);
  if (fd < 0) {
    client_errors++;
    return;
  }
  std::vector<long long> mine;
  for (long long n = 0; !stop_clients; n++) {
    if (!rtt_go) {
      usleep(1000);
      continue;
    }
    std::string message = zv::frameMessage("client " + std::to_string(id) + " request " + std::to_string(n));
    std::string reply(message.size(), '\0');
    Clock::time_point sent = Clock::now();
    if (zvpeer::sendAll(fd, message.data(), static_cast<int>(message.size()), 5000) != 0 ||
        zvpeer::receiveAll(fd, &reply[0], static_cast<int>(reply.size()), 5000) != static_cast<int>(reply.size()) ||
        reply != message) {
      rtt_lost++;
      break;
    }
    mine.push_back(std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - sent).count());
  }
  zv::platform::closeSocket(fd);
  std::lock_guard<std::mutex> lock(rtt_mutex);
  rtt_micros.insert(rtt_micros.end(), mine.begin(), mine.end());
}

// Sends requests and never reads; starts again whenever it is closed.
void neverReads(int port) {
  std::string request = zv::frameMessage(std::string(HOSTILE_REQUEST_BYTES - zv::MESSAGE_HEADER_BYTES, 'h'));
  while (!stop_clients) {
    int fd = zvpeer::connectLoopback(port);
    if (fd < 0) {
      usleep(100000);
      continue;
    }
    // A time-out only means the server is busy; any other error, that it let go.
    while (!stop_clients && (zvpeer::sendAll(fd, request.data(), static_cast<int>(request.size()), 200) == 0 ||
                             errno == ETIMEDOUT)) {
    }
    if (!stop_clients)
      hostile_closes++;
    zv::platform::closeSocket(fd);
  }
}

// Sends a message one byte a second; starts again whenever it is closed.
void trickles(int port) {
  std::string message = zv::frameMessage(std::string(996, 't'));
  while (!stop_clients) {
    int fd = zvpeer::connectLoopback(port);
    if (fd < 0) {
      usleep(100000);
      continue;
    }
    bool open = true;
    for (std::size_t at = 0; !stop_clients && open; at = (at + 1) % message.size()) {
      open = zv::platform::sendSome(fd, &message[at], 1) == 1;
      for (int i = 0; i < 100 && !stop_clients && open; i++)
        open = !zvpeer::closedWithin(fd, 10);
    }
    if (!open)
      trickler_closes++;
    zv::platform::closeSocket(fd);
  }
}

class Echo : public zv::Object {
 public:
  std::vector<Clock::time_point> steps;
  int frames;
  std::vector<char> buffer = std::vector<char>(static_cast<std::size_t>(zv::DEFAULT_MAX_MESSAGE_BYTES));

  explicit Echo(int init_frames) : frames(init_frames) {
    registerInterest(zv::NETWORK_EVENT);
    registerInterest(zv::STEP_EVENT);
  }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() == zv::STEP_EVENT) {
      steps.push_back(Clock::now());
      rtt_go = true;
      if (static_cast<int>(steps.size()) == frames - SETTLE_FRAMES)
        stop_clients = true;
      if (static_cast<int>(steps.size()) >= frames)
        zv::GameManager::getInstance().setGameOver(true);
      return 1;
    }
    const zv::EventNetwork& e = *static_cast<const zv::EventNetwork*>(p_e);
    if (e.getLabel() != zv::NETWORK_DATA)
      return 1;
    zv::NetworkManager& nm = zv::NetworkManager::getInstance();
    int got = nm.receive(e.getSocketIndex(), buffer.data(), e.getBytes());
    if (got == e.getBytes())
      nm.send(e.getSocketIndex(), buffer.data(), got);  // a refusal closes that peer; it is counted by the peer
    return 1;
  }
};

double percentile(std::vector<long long> values, double p) {
  std::sort(values.begin(), values.end());
  std::size_t i = std::min(values.size() - 1, static_cast<std::size_t>(p * static_cast<double>(values.size())));
  return static_cast<double>(values[i]);
}

// A headless engine in a work folder of its own, listening on loopback.
bool startEngine(std::string& folder) {
  char dir_template[] = "/tmp/zelvra-bench-XXXXXX";
  if (!mkdtemp(dir_template) || chdir(dir_template) != 0) {
    fprintf(stderr, "cannot make a work folder\n");
    return false;
  }
  folder = dir_template;
  {
    std::ofstream config("zv-config.txt");
    config << "headless:true,networking:true,frame_time:33,";
  }
  if (zv::GameManager::getInstance().startUp() != 0 ||
      zv::NetworkManager::getInstance().setServer("0", "127.0.0.1") != 0) {
    fprintf(stderr, "engine did not start\n");
    return false;
  }
  return true;
}

// Prints the log lines that match, at most ten; the count of all.
int showLog(const std::string& text) {
  std::ifstream log("zelvra.log");
  std::string line;
  int count = 0;
  while (std::getline(log, line))
    if (line.find(text) != std::string::npos && count++ < 10)
      printf("log: %s\n", line.c_str());
  return count;
}

int removeFolder(const std::string& folder) { return system(("rm -rf '" + folder + "'").c_str()); }

int roundTrips(double seconds) {
  std::string folder;
  if (!startEngine(folder))
    return 1;
  zv::GameManager& gm = zv::GameManager::getInstance();
  zv::NetworkManager& nm = zv::NetworkManager::getInstance();
  int port = nm.getPort();
  nm.setMaxSockets(RTT_CLIENTS + 1 + TRICKLERS + 8);
  int frames = static_cast<int>(seconds * 1000 / 33) + SETTLE_FRAMES;
  Echo* echo = new Echo(frames);
  std::vector<std::thread> threads;
  for (int i = 0; i < RTT_CLIENTS; i++)
    threads.emplace_back(roundTripClient, port, i);
  threads.emplace_back(neverReads, port);
  for (int i = 0; i < TRICKLERS; i++)
    threads.emplace_back(trickles, port);
  // Everyone in before the clock starts; the loop takes one newcomer a frame.
  Clock::time_point give_up = Clock::now() + std::chrono::seconds(5);
  while (nm.getNumConnections() < RTT_CLIENTS + 1 + TRICKLERS && Clock::now() < give_up)
    nm.accept();
  int connected = nm.getNumConnections();
  gm.run();
  stop_clients = true;
  // The world deletes the echo object at shut-down: keep its record.
  std::vector<Clock::time_point> steps = echo->steps;
  gm.shutDown();
  for (std::thread& t : threads)
    t.join();

  long long longest = 0;
  for (std::size_t i = 1; i + SETTLE_FRAMES < steps.size(); i++)
    longest = std::max<long long>(
        longest, std::chrono::duration_cast<std::chrono::microseconds>(steps[i] - steps[i - 1]).count());
  printf("round trips: %d clients, 1 that never reads, %d that trickle; %d connected at the start; %.0f s\n",
         RTT_CLIENTS, TRICKLERS, connected, seconds);
  if (!rtt_micros.empty())
    printf("  round trip:       median %.1f ms, 99th percentile %.1f ms, max %.1f ms, over %zu round trips\n",
           percentile(rtt_micros, 0.5) / 1000.0, percentile(rtt_micros, 0.99) / 1000.0,
           percentile(rtt_micros, 1.0) / 1000.0, rtt_micros.size());
  printf("  longest frame:    %.1f ms (33 ms a frame, %zu frames)\n", static_cast<double>(longest) / 1000.0,
         steps.size());
  printf("  lost or wrong:    %lld; client errors: %lld\n", rtt_lost.load(), client_errors.load());
  printf("  hostile peers:    the non-reader closed %lld times, tricklers closed %lld times\n", hostile_closes.load(),
         trickler_closes.load());
  int residual = showLog("Residual network data.");
  showLog("over the limit");
  printf("  frames with residual network data: %d\n", residual);
  int removed = removeFolder(folder);
  return rtt_lost == 0 && client_errors == 0 && removed == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
  if (argc > 1 && std::string(argv[1]) == "rtt") {
    double seconds = argc > 2 ? atof(argv[2]) : 15.0;
    if (seconds <= 0) {
      fprintf(stderr, "usage: bench_network rtt [SECONDS]\n");
      return 2;
    }
    return roundTrips(seconds);
  }
  int clients = argc > 1 ? atoi(argv[1]) : 4;
  double seconds = argc > 2 ? atof(argv[2]) : 3.0;
  int body_bytes = argc > 3 ? atoi(argv[3]) : 16;
  if (clients < 1 || seconds <= 0 || body_bytes < 0 ||
      body_bytes + zv::MESSAGE_HEADER_BYTES > zv::DEFAULT_MAX_MESSAGE_BYTES) {
    fprintf(stderr, "usage: bench_network [CLIENTS [SECONDS [BODY_BYTES]]]\n");
    return 2;
  }
  std::string folder;
  if (!startEngine(folder))
    return 1;
  zv::GameManager& gm = zv::GameManager::getInstance();
  zv::NetworkManager& nm = zv::NetworkManager::getInstance();
  nm.setMaxSockets(clients);
  Handler* handler = new Handler;

  std::vector<std::thread> threads;
  for (int i = 0; i < clients; i++)
    threads.emplace_back(client, nm.getPort(), body_bytes);
  Clock::time_point give_up = Clock::now() + std::chrono::seconds(5);
  while (nm.getNumConnections() < clients && Clock::now() < give_up)
    nm.accept();

  // Phase 1: announce without pause, counting per 6.6 ms window.
  std::vector<long long> per_window;
  long long passes_without_message = 0;
  Clock::time_point start = Clock::now();
  Clock::time_point end = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  Clock::time_point window_end = start + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double, std::milli>(NETWORK_SHARE_MS));
  long long window_start_count = 0;
  while (Clock::now() < end) {
    bool any = false;
    for (int i = 0; i < nm.getNumConnections(); i++)
      if (nm.genDataEvents(i) > 0)
        any = true;
    if (!any)
      passes_without_message++;
    Clock::time_point now = Clock::now();
    if (now >= window_end) {
      per_window.push_back(handler->handled - window_start_count);
      window_start_count = handler->handled;
      window_end = now + std::chrono::duration_cast<Clock::duration>(
                             std::chrono::duration<double, std::milli>(NETWORK_SHARE_MS));
    }
  }
  double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  long long part1 = handler->handled;

  // Phase 2: the real game loop.
  gm.run();
  std::vector<long long> per_frame;
  for (std::size_t i = 2; i < handler->at_step.size(); i++)  // whole frames only
    per_frame.push_back(handler->at_step[i] - handler->at_step[i - 1]);

  int connected = nm.getNumConnections();
  // The world deletes the handler at shut-down: keep its count.
  long long bad = handler->bad;
  stop_clients = true;
  gm.shutDown();
  for (std::thread& t : threads)
    t.join();

  printf("clients: %d (connected %d), message: %d bytes, %d messages per client send\n", clients, connected,
         body_bytes + zv::MESSAGE_HEADER_BYTES, MESSAGES_PER_SEND);
  printf("phase 1, announcing without pause for %.2f s:\n", elapsed);
  printf("  messages handled:       %lld (%lld passes found nothing waiting)\n", part1, passes_without_message);
  printf("  per second:             %.0f\n", static_cast<double>(part1) / elapsed);
  printf("  per 6.6 ms (mean):      %.0f\n", static_cast<double>(part1) / elapsed * NETWORK_SHARE_MS / 1000.0);
  if (!per_window.empty())
    printf("  per 6.6 ms window:      median %.0f, 5th percentile %.0f, over %zu windows\n",
           percentile(per_window, 0.5), percentile(per_window, 0.05), per_window.size());
  if (!per_frame.empty())
    printf("phase 2, game loop at 33 ms: per frame median %.0f, 5th percentile %.0f, min %.0f, over %zu frames\n",
           percentile(per_frame, 0.5), percentile(per_frame, 0.05), percentile(per_frame, 0.0), per_frame.size());
  printf("messages sent by the clients: %lld; bad messages: %lld, client errors: %lld\n", messages_sent.load(),
         bad, client_errors.load());
  // Anything the engine found wrong, as it logged it.
  showLog("Error!");
  showLog("closed by peer");
  int removed = removeFolder(folder);
  return bad == 0 && client_errors == 0 && removed == 0 ? 0 : 1;
}
