// The window examples as programs: each opens its window, runs, and ends
// cleanly when the window is asked to close, the way a window manager does
// it when the close button is pressed.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestSupport.h"
#include "XWindow.h"

extern char** environ;

namespace {

const std::string RUN_DIR = ZELVRA_RUN_DIR;

// Runs a command line and gives back the first line it printed.
std::string firstLine(const std::string& command) {
  FILE* p_pipe = popen(command.c_str(), "r");
  if (!p_pipe)
    return "";
  char buffer[256] = {0};
  std::string line = fgets(buffer, sizeof(buffer), p_pipe) ? buffer : "";
  pclose(p_pipe);
  if (!line.empty() && line.back() == '\n')
    line.pop_back();
  return line;
}

bool waitFor(const std::function<bool()>& done, int timeout_ms) {
  for (int waited = 0; waited < timeout_ms; waited += 100) {
    if (done())
      return true;
    usleep(100 * 1000);
  }
  return done();
}

// One example started in the test's own folder, with the run folder's
// sprites, sounds and font and a configuration of the test's own whose
// window title is unique to this process.
class ExampleRun {
 public:
  pid_t pid = -1;
  std::string title;
  std::string log_file;

  bool start(const std::string& name) {
    title = "zv-" + name + "-" + std::to_string(getpid());
    log_file = name + ".log";
    if (symlink((RUN_DIR + "/sprites").c_str(), "sprites") != 0 ||
        symlink((RUN_DIR + "/sounds").c_str(), "sounds") != 0 ||
        symlink((RUN_DIR + "/zv-font.ttf").c_str(), "zv-font.ttf") != 0)
      return false;
    zvtest::writeFile("zv-config.txt", "window_title:" + title + ",\nlogfile:" + log_file + ",\n");
    std::string program = RUN_DIR + "/" + name;
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    // GL drivers stay mapped in the example, so that a sanitizer build's
    // leak check can name their blocks; the preload comes before the
    // sanitizer's runtime.
    setenv("LD_PRELOAD", ZELVRA_KEEP_DRIVERS, 1);
    const char* asan = getenv("ASAN_OPTIONS");
    setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":verify_asan_link_order=0").c_str(), 1);
    return posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) == 0;
  }

  // The window's id once it is shown, or 0.
  unsigned long findWindow() const {
    std::string line = firstLine("timeout 30 xdotool search --sync --onlyvisible --name '^" + title + "$' 2>/dev/null");
    return strtoul(line.c_str(), nullptr, 10);
  }

  std::string log() const { return zvtest::readFile(log_file); }

  // The exit code, or -1 when it did not end in time (it is then killed).
  int waitExit(int timeout_ms) {
    int status = 0;
    bool ended = waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, timeout_ms);
    if (!ended) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
    }
    pid = -1;
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  ~ExampleRun() {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }
};

const char BANNER[] = "** Game engine stopped **";

TEST(Examples, DemoOpensItsWindowAndEndsOnCloseRequest) {
  ExampleRun demo;
  ASSERT_TRUE(demo.start("demo"));
  unsigned long window = demo.findWindow();
  ASSERT_NE(window, 0u) << "no window titled " << demo.title;
  ASSERT_TRUE(waitFor([&] { return demo.log().find("demo: running") != std::string::npos; }, 15000))
      << demo.log();
  // A few seconds of play: traffic comes and goes without trouble.
  sleep(3);
  ASSERT_TRUE(zvtest::requestClose(window));
  EXPECT_EQ(demo.waitExit(20000), 0);
  std::string log = demo.log();
  EXPECT_NE(log.find(BANNER), std::string::npos) << log;
  EXPECT_EQ(log.find("cannot load"), std::string::npos) << log;
}

TEST(Examples, MazeWalkerReachesGoalsAndEndsOnCloseRequest) {
  ExampleRun maze;
  ASSERT_TRUE(maze.start("maze"));
  unsigned long window = maze.findWindow();
  ASSERT_NE(window, 0u) << "no window titled " << maze.title;
  // The first goal is at most a maze's length of cells away, a cell a frame.
  EXPECT_TRUE(waitFor([&] { return maze.log().find("maze: the walker reached goal 1 ") != std::string::npos; },
                      60000))
      << maze.log();
  ASSERT_TRUE(zvtest::requestClose(window));
  EXPECT_EQ(maze.waitExit(20000), 0);
  std::string log = maze.log();
  EXPECT_NE(log.find(BANNER), std::string::npos) << log;
  EXPECT_EQ(log.find("no path to"), std::string::npos) << log;
  EXPECT_EQ(log.find("could not start"), std::string::npos) << log;
}

TEST(Examples, MissingSpritesAreReportedNotACrash) {
  ExampleRun demo;
  // A run folder without sprites: the demo says so and ends with an error code.
  ASSERT_EQ(symlink((RUN_DIR + "/zv-font.ttf").c_str(), "zv-font.ttf"), 0);
  zvtest::writeFile("zv-config.txt", "window_title:zv-nosprites-" + std::to_string(getpid()) + ",\nlogfile:demo.log,\n");
  std::string program = RUN_DIR + "/demo";
  char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
  ASSERT_EQ(posix_spawn(&demo.pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
  demo.log_file = "demo.log";
  EXPECT_EQ(demo.waitExit(30000), 1);
  std::string log = demo.log();
  EXPECT_NE(log.find("demo: cannot load sprites/racer-spr.txt"), std::string::npos) << log;
  EXPECT_NE(log.find(BANNER), std::string::npos) << log;
}

} // namespace
