// The echo example end to end: the built echo_server and echo_client
// programs, talking over loopback.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>

#include <spawn.h>
#include <sys/wait.h>

#include "NetworkFixture.h"

extern char** environ;

using nettest::framed;
using nettest::lengthField;

namespace {

const std::string RUN_DIR = ZELVRA_RUN_DIR;

class EchoServer {
 public:
  pid_t pid = -1;
  int out = -1;
  int port = -1;

  bool start() {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0)
      return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
    std::string program = RUN_DIR + "/echo_server";
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("0"), nullptr};
    int result = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_fds[1]);
    out = pipe_fds[0];
    if (result != 0)
      return false;
    std::string line = readLine();
    const std::string prefix = "echo_server listening on port ";
    if (line.compare(0, prefix.size(), prefix) != 0)
      return false;
    port = atoi(line.c_str() + prefix.size());
    return port > 0;
  }

  // One line of the server's output, waiting a few seconds at most.
  std::string readLine() {
    std::string line;
    char c;
    while (true) {
      struct pollfd p = {out, POLLIN, 0};
      if (poll(&p, 1, 5000) <= 0 || read(out, &c, 1) != 1 || c == '\n')
        return line;
      line += c;
    }
  }

  // SIGTERM, then the exit status (-1 if it did not end in time).
  int stop() {
    kill(pid, SIGTERM);
    int status = 0;
    bool ended = nettest::waitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 10000);
    if (!ended) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
    }
    pid = -1;
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  ~EchoServer() {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    if (out >= 0)
      close(out);
  }
};

// Runs echo_client; its standard output, and its exit code in code.
std::string runClient(const std::string& args, int& code) {
  std::string command = RUN_DIR + "/echo_client " + args + " 2>/dev/null";
  FILE* p = popen(command.c_str(), "r");
  if (!p) {
    code = -1;
    return "";
  }
  std::string output;
  char buffer[256];
  size_t n;
  while ((n = fread(buffer, 1, sizeof(buffer), p)) > 0)
    output.append(buffer, n);
  int status = pclose(p);
  code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return output;
}

} // namespace

TEST(EchoExample, ClientGetsItsMessageBack) {
  EchoServer server;
  ASSERT_TRUE(server.start());
  std::string port = std::to_string(server.port);
  int code = 0;
  EXPECT_EQ(runClient("'hello, echo' " + port, code), "hello, echo\n");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(runClient("'' " + port + " 127.0.0.1", code), "\n");
  EXPECT_EQ(code, 0);

  // A client that breaks the framing is dropped; the server goes on.
  int rude = nettest::connectClient(server.port);
  ASSERT_GE(rude, 0);
  ASSERT_TRUE(nettest::sendRaw(rude, lengthField(-7)));
  EXPECT_TRUE(nettest::closedByServer(rude));
  close(rude);

  // Several messages on one connection come back in order.
  int fd = nettest::connectClient(server.port);
  ASSERT_GE(fd, 0);
  std::string all = framed("one") + framed(std::string(5000, 'w')) + framed("three");
  ASSERT_TRUE(nettest::sendRaw(fd, all));
  EXPECT_TRUE(nettest::readFor(fd, all.size(), 5000) == all);
  close(fd);

  EXPECT_EQ(runClient("again " + port, code), "again\n");
  EXPECT_EQ(server.stop(), 0);
  std::string log = zvtest::readFile("echo_server.log");
  EXPECT_NE(log.find("announced -7 bytes, not in range [4,65536]. Closing it."), std::string::npos);
  EXPECT_NE(log.find("** Game engine stopped **"), std::string::npos);
}

TEST(EchoExample, ClientWithoutServerFails) {
  // A port that was free a moment ago.
  int probe = socket(AF_INET, SOCK_STREAM, 0);
  struct sockaddr_in address;
  memset(&address, 0, sizeof(address));
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(probe, reinterpret_cast<struct sockaddr*>(&address), sizeof(address)), 0);
  socklen_t length = sizeof(address);
  ASSERT_EQ(getsockname(probe, reinterpret_cast<struct sockaddr*>(&address), &length), 0);
  close(probe);
  int code = 0;
  EXPECT_EQ(runClient("hello " + std::to_string(ntohs(address.sin_port)), code), "");
  EXPECT_EQ(code, 1);
  EXPECT_EQ(runClient("", code), "");
  EXPECT_EQ(code, 2);
}
