// A headless engine that answers every message with the same message.
//
//   echo_server [PORT]      listens on every address, port 9876 by default
//
// Prints the port it listens on, logs to echo_server.log, and stops cleanly
// on Ctrl-C or SIGTERM.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include <zelvra/core/GameManager.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/network/EventNetwork.h>
#include <zelvra/network/NetworkManager.h>
#include <zelvra/world/Object.h>

namespace {

volatile sig_atomic_t stop_requested = 0;
void requestStop(int) { stop_requested = 1; }

class Echo : public zv::Object {
 public:
  Echo() {
    setType("Echo");
    setSolidness(zv::SPECTRAL);
    registerInterest(zv::STEP_EVENT);
    registerInterest(zv::NETWORK_EVENT);
  }

  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() == zv::STEP_EVENT) {
      if (stop_requested)
        zv::GameManager::getInstance().setGameOver(true);
      return 1;
    }
    if (p_e->getType() != zv::NETWORK_EVENT)
      return 0;
    const zv::EventNetwork& e = *static_cast<const zv::EventNetwork*>(p_e);
    zv::NetworkManager& nm = zv::NetworkManager::getInstance();
    switch (e.getLabel()) {
      case zv::NETWORK_ACCEPT:
        printf("client %d connected\n", e.getSocketIndex());
        break;
      case zv::NETWORK_CLOSE:
        printf("client %d gone\n", e.getSocketIndex());
        break;
      case zv::NETWORK_DATA: {
        // The whole message, length included, goes back as it came.
        std::vector<char> message(static_cast<std::size_t>(e.getBytes()));
        if (nm.receive(e.getSocketIndex(), message.data(), e.getBytes()) != e.getBytes() ||
            nm.send(e.getSocketIndex(), message.data(), e.getBytes()) != 0)
          nm.close(e.getSocketIndex());
        break;
      }
      default:
        break;
    }
    fflush(stdout);
    return 1;
  }
};

// The engine reads its settings from a file: hand it this program's own.
bool useOwnSettings(std::string& path) {
  char name[] = "/tmp/echo_server-config-XXXXXX";
  int fd = mkstemp(name);
  if (fd < 0)
    return false;
  const std::string settings = "headless:true,networking:true,frame_time:33,logfile:echo_server.log,";
  bool written = write(fd, settings.data(), settings.size()) == static_cast<ssize_t>(settings.size());
  close(fd);
  path = name;
  setenv("ZELVRA_CONFIG", name, 1);
  return written;
}

} // namespace

int main(int argc, char* argv[]) {
  std::string port = argc > 1 ? argv[1] : zv::DEFAULT_PORT;
  std::string settings;
  if (!useOwnSettings(settings)) {
    fprintf(stderr, "echo_server: cannot write its settings file\n");
    return 1;
  }
  zv::GameManager& gm = zv::GameManager::getInstance();
  int started = gm.startUp();
  unlink(settings.c_str());
  if (started != 0) {
    fprintf(stderr, "echo_server: the engine did not start (see echo_server.log)\n");
    gm.shutDown();
    return 1;
  }
  zv::LogManager::getInstance().setFlush(true);
  zv::NetworkManager& nm = zv::NetworkManager::getInstance();
  nm.setMaxSockets(16);
  if (nm.setServer(port) != 0) {
    fprintf(stderr, "echo_server: cannot listen on port %s (see echo_server.log)\n", port.c_str());
    gm.shutDown();
    return 1;
  }
  signal(SIGINT, requestStop);
  signal(SIGTERM, requestStop);
  printf("echo_server listening on port %d\n", nm.getPort());
  fflush(stdout);
  new Echo;
  gm.run();
  gm.shutDown();
  printf("echo_server stopped\n");
  return 0;
}
