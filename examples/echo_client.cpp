// Sends one message to an echo server and prints the reply.
//
//   echo_client MESSAGE [PORT [HOST]]     port 9876 and localhost by default
//
// Exit code 0 when the reply came back, 1 otherwise (the reason is on the
// standard error stream).
#include <cstdio>
#include <string>

#include <zelvra/network/NetworkManager.h>

int main(int argc, char* argv[]) {
  if (argc < 2 || argc > 4) {
    fprintf(stderr, "usage: echo_client MESSAGE [PORT [HOST]]\n");
    return 2;
  }
  std::string message = argv[1];
  std::string port = argc > 2 ? argv[2] : zv::DEFAULT_PORT;
  std::string host = argc > 3 ? argv[3] : "localhost";

  // No game loop here: the manager alone, its log lines on stderr.
  zv::NetworkManager& nm = zv::NetworkManager::getInstance();
  nm.startUp();
  int server = nm.connect(host, port);
  std::string reply;
  bool ok = server >= 0 && nm.sendMessage(server, message) == 0 && nm.receiveMessage(server, reply) == 0;
  nm.shutDown();
  if (!ok) {
    fprintf(stderr, "echo_client: no reply from %s port %s\n", host.c_str(), port.c_str());
    return 1;
  }
  printf("%s\n", reply.c_str());
  return 0;
}
