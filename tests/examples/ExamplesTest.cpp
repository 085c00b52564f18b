// The example programs as their users run them.
#include <csignal>
#include <cstdio>
#include <functional>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TestSupport.h"

extern char** environ;
using zvtest::logContains;

namespace {


// Runs a program of the run folder while during() does its part; the exit
// code, or -1 when it did not end within ms after that (it is then killed).
int run(const std::string& command, int ms, const std::function<void(pid_t)>& during = [](pid_t) {}) {
  std::string line = "exec " + std::string(ZELVRA_RUN_DIR) + "/" + command;
  char* argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), &line[0], nullptr};
  pid_t pid = -1;
  int status = 0;
  if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ) != 0)
    return -2;
  during(pid);
  if (zvtest::waitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, ms))
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return -1;
}

// GL drivers stay mapped, so that a sanitizer build's leak check can name their blocks.
void windowFolder(const std::vector<std::string>& files) {
  for (const std::string& file : files)
    EXPECT_EQ(symlink((std::string(ZELVRA_RUN_DIR) + "/" + file).c_str(), file.c_str()), 0) << file;
  setenv("LD_PRELOAD", ZELVRA_KEEP_DRIVERS, 1);
  const char* asan = getenv("ASAN_OPTIONS");
  setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":verify_asan_link_order=0").c_str(), 1);
}

} // namespace

TEST(Examples, DemoSaysWhatIsMissingOrPlaysItsFramesWithTraffic) {
  windowFolder({"zv-font.ttf"});
  EXPECT_EQ(run("demo", 30000), 1);
  EXPECT_TRUE(logContains("demo: cannot load sprites/racer-spr.txt") && logContains("** Game engine stopped **"));
  windowFolder({"sprites", "sounds"});
  EXPECT_EQ(run("demo 90", 30000), 0);  // traffic comes every 15 frames
  EXPECT_TRUE(logContains("demo: running") && logContains("** Game engine stopped **"));
}

TEST(Examples, EchoClientGetsItsMessageBackWhileTheServerRuns) {
  const std::string prefix = "echo_server listening on port ";
  std::string port;
  EXPECT_EQ(run("echo_server 0 >server.out", 10000, [&](pid_t server) {
    ASSERT_TRUE(zvtest::waitUntil([] { return zvtest::readFile("server.out").find('\n') != std::string::npos; }, 10000));
    ASSERT_TRUE(logContains(prefix, "server.out"));
    port = std::to_string(atoi(zvtest::readFile("server.out").c_str() + prefix.size()));
    EXPECT_EQ(run("echo_client 'hello, echo' " + port + " >client.out", 10000), 0);
    EXPECT_EQ(zvtest::readFile("client.out"), "hello, echo\n");
    kill(server, SIGTERM);
  }), 0);
  EXPECT_TRUE(logContains("** Game engine stopped **", "echo_server.log"));
  EXPECT_EQ(run("echo_client hello " + port, 10000), 1);  // nobody listens any more
}

// The search runs in the spare time of headless frames, its path event comes
// through the loop, and the walker follows the route to the goal, one cell a frame at most.
TEST(Examples, MazeWalkerGetsItsPathThroughTheLoopAndWalksIt) {
  EXPECT_EQ(run("maze_headless 3 >maze.out", 60000), 0);
  std::string out = zvtest::readFile("maze.out");
  std::size_t at = out.find("\nRoute of ");
  int cells = 0, found = -1, walked = -1;
  ASSERT_TRUE(at != std::string::npos &&
              sscanf(&out[at], "\nRoute of %d cells, found in frame %d, walked by frame %d", &cells, &found, &walked) == 3)
      << out;
  EXPECT_TRUE(cells > 40 && found >= 0 && walked >= found + cells - 1) << out.substr(at);
  EXPECT_NE(out.find("The walker stands at (39,15).", at), std::string::npos);
}
