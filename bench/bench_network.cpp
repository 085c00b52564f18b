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
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "core/EventStep.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "network/EventNetwork.h"
#include "network/NetworkManager.h"
#include "platform/Socket.h"
#include "world/Object.h"

namespace {

using Clock = std::chrono::steady_clock;

const double NETWORK_SHARE_MS = 33 * 0.2;
const int MESSAGES_PER_SEND = 64;
const int LOOP_FRAMES = 90;

std::atomic<bool> stop_clients(false);
std::atomic<long long> client_errors(0);
std::atomic<long long> messages_sent(0);

void client(int port, int body_bytes) {
  int fd = zv::platform::connectTo("127.0.0.1", std::to_string(port), 2000);
  if (fd < 0) {
    client_errors++;
    return;
  }
  int32_t length = body_bytes + zv::MESSAGE_HEADER_BYTES;
  std::string batch;
  for (int i = 0; i < MESSAGES_PER_SEND; i++) {
    batch.append(reinterpret_cast<const char*>(&length), sizeof(length));
    batch.append(static_cast<std::size_t>(body_bytes), static_cast<char>('a' + i % 26));
  }
  // Whole batches only, or the stream would lose its framing; the server
  // closing the connection at the end ends the wait.
  while (!stop_clients) {
    if (zv::platform::sendAll(fd, batch.data(), static_cast<int>(batch.size()), 60000) != 0) {
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

double percentile(std::vector<long long> values, double p) {
  std::sort(values.begin(), values.end());
  std::size_t i = std::min(values.size() - 1, static_cast<std::size_t>(p * static_cast<double>(values.size())));
  return static_cast<double>(values[i]);
}

} // namespace

int main(int argc, char* argv[]) {
  int clients = argc > 1 ? atoi(argv[1]) : 4;
  double seconds = argc > 2 ? atof(argv[2]) : 3.0;
  int body_bytes = argc > 3 ? atoi(argv[3]) : 16;
  if (clients < 1 || seconds <= 0 || body_bytes < 0 ||
      body_bytes + zv::MESSAGE_HEADER_BYTES > zv::DEFAULT_MAX_MESSAGE_BYTES) {
    fprintf(stderr, "usage: bench_network [CLIENTS [SECONDS [BODY_BYTES]]]\n");
    return 2;
  }
  char dir_template[] = "/tmp/zelvra-bench-XXXXXX";
  if (!mkdtemp(dir_template) || chdir(dir_template) != 0) {
    fprintf(stderr, "cannot make a work folder\n");
    return 1;
  }
  {
    std::ofstream config("zv-config.txt");
    config << "headless:true,networking:true,frame_time:33,";
  }
  zv::GameManager& gm = zv::GameManager::getInstance();
  zv::NetworkManager& nm = zv::NetworkManager::getInstance();
  if (gm.startUp() != 0 || nm.setServer("0", "127.0.0.1") != 0) {
    fprintf(stderr, "engine did not start\n");
    return 1;
  }
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
         handler->bad, client_errors.load());
  // Anything the engine found wrong, as it logged it.
  std::ifstream log("zelvra.log");
  std::string line;
  int shown = 0;
  while (std::getline(log, line))
    if ((line.find("Error!") != std::string::npos || line.find("closed by peer") != std::string::npos) && shown++ < 10)
      printf("log: %s\n", line.c_str());
  std::string cleanup = std::string("rm -rf '") + dir_template + "'";
  int removed = system(cleanup.c_str());
  return handler->bad == 0 && client_errors == 0 && removed == 0 ? 0 : 1;
}
