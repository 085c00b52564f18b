// The game loop's network step and the NetworkManager's place in the start
// and stop order.
#include <algorithm>

#include "NetworkFixture.h"
#include "core/EventStep.h"

using nettest::framed;
using nettest::NetRecorder;
using nettest::sendRaw;
using zv::GameManager;

namespace {

// Notes how many connections exist at the start of each frame and ends
// the loop after a number of frames.
class FrameWatcher : public zv::Object {
 public:
  std::vector<int> connections;
  int frames;
  explicit FrameWatcher(int init_frames) : frames(init_frames) { registerInterest(zv::STEP_EVENT); }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() != zv::STEP_EVENT)
      return 0;
    connections.push_back(zv::NetworkManager::getInstance().getNumConnections());
    if (static_cast<int>(connections.size()) >= frames)
      GameManager::getInstance().setGameOver(true);
    return 1;
  }
};

int lineIndex(const std::vector<std::string>& log, const std::string& text) {
  for (std::size_t i = 0; i < log.size(); i++)
    if (log[i] == text)
      return static_cast<int>(i);
  return -1;
}

} // namespace

TEST(GameLoopNetwork, NetworkingOffLeavesTheManagerAlone) {
  zv::LogManager::getInstance().setLogLevel(5);
  ASSERT_EQ(zvtest::startHeadless("networking:false,"), 0);
  EXPECT_FALSE(zv::NetworkManager::getInstance().isStarted());
  new FrameWatcher(3);
  GameManager::getInstance().run();
  GameManager::getInstance().shutDown();
  EXPECT_FALSE(zvtest::logContains("Network manager"));
  EXPECT_FALSE(zvtest::logContains("NetworkManager"));
}

TEST(GameLoopNetwork, NetworkManagerStartsAfterInputAndStopsBeforeIt) {
  zv::LogManager::getInstance().setLogLevel(1);
  ASSERT_EQ(zvtest::startHeadless("networking:true,"), 0);
  EXPECT_TRUE(zv::NetworkManager::getInstance().isStarted());
  GameManager::getInstance().shutDown();
  EXPECT_FALSE(zv::NetworkManager::getInstance().isStarted());
  std::vector<std::string> log = zvtest::logMessages();
  int input = lineIndex(log, "Input manager started.");
  int network = lineIndex(log, "Network manager started.");
  int world = lineIndex(log, "World manager started.");
  ASSERT_GE(input, 0);
  EXPECT_GT(network, input);
  EXPECT_GT(world, network);
  int world_stop = lineIndex(log, "World manager stopped");
  int network_stop = lineIndex(log, "Network manager stopped");
  int input_stop = lineIndex(log, "Input manager stopped");
  ASSERT_GE(world_stop, 0);
  EXPECT_GT(network_stop, world_stop);
  EXPECT_GT(input_stop, network_stop);
}

TEST(GameLoopNetwork, NetworkManagerThatCannotStartStopsTheEngine) {
  testing::internal::CaptureStderr();
  ASSERT_EQ(zv::NetworkManager::getInstance().startUp(), 0);  // now a second start fails
  EXPECT_EQ(zvtest::startHeadless("networking:true,"), -1);
  testing::internal::GetCapturedStderr();
  EXPECT_FALSE(GameManager::getInstance().isStarted());
  EXPECT_TRUE(zvtest::logContains("Error starting network manager!"));
  EXPECT_FALSE(zvtest::logContains("World manager started."));
  GameManager::getInstance().shutDown();
}

TEST_F(NetworkTest, LoopAcceptsOnceAFrameAndAnnouncesEveryMessage) {
  // A real frame length, so that the network share is not used up at once.
  GameManager::getInstance().shutDown();
  ASSERT_EQ(zvtest::startHeadless("networking:true,frame_time:33,"), 0);
  ASSERT_EQ(nm.setServer("0", "127.0.0.1"), 0);
  port = nm.getPort();
  nm.setMaxSockets(2);
  NetRecorder* r = new NetRecorder;
  int a = client();
  int b = client();
  ASSERT_TRUE(sendRaw(a, framed("a1") + framed("a2")));
  ASSERT_TRUE(sendRaw(b, framed("b1")));
  usleep(20000);  // let the bytes land before the first frame
  FrameWatcher* w = new FrameWatcher(4);
  GameManager::getInstance().run();
  EXPECT_EQ(w->connections, (std::vector<int>{0, 1, 2, 2}));
  EXPECT_EQ(r->count(zv::NETWORK_ACCEPT), 2);
  ASSERT_EQ(r->messages.size(), 3u);
  EXPECT_EQ(r->messages[0], framed("a1"));
  EXPECT_EQ(r->messages[1], framed("a2"));
  EXPECT_EQ(r->messages[2], framed("b1"));
  EXPECT_FALSE(logged("Residual network data."));
}

TEST_F(NetworkTest, LoopWarnsWhenMessagesOutlastTheNetworkShare) {
  GameManager::getInstance().shutDown();
  ASSERT_EQ(zvtest::startHeadless("networking:true,frame_time:33,"), 0);
  ASSERT_EQ(nm.setServer("0", "127.0.0.1"), 0);
  port = nm.getPort();
  NetRecorder* r = new NetRecorder;
  r->consume = false;  // the message stays and is announced again and again
  int fd = client();
  ASSERT_TRUE(sendRaw(fd, framed("sticky")));
  usleep(20000);
  new FrameWatcher(2);
  auto start = std::chrono::steady_clock::now();
  GameManager::getInstance().run();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(zvtest::logCount("GameManager::run(): Warning! Residual network data."), 2);
  EXPECT_GT(r->count(zv::NETWORK_DATA), 2);
  EXPECT_LT(seconds, 10.0);  // the share ends the busy loop every frame
}

TEST_F(NetworkTest, LoopWithoutAServerOnlyWatchesConnections) {
  // A client-only game: no listening socket, a connection made by connect().
  GameManager::getInstance().shutDown();
  ASSERT_EQ(zvtest::startHeadless("networking:true,frame_time:33,"), 0);
  ASSERT_FALSE(nm.isServer());
  NetRecorder* r = new NetRecorder;
  int listener = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_EQ(listen(listener, 1), 0);
  struct sockaddr_in address;
  socklen_t length = sizeof(address);
  ASSERT_EQ(getsockname(listener, reinterpret_cast<struct sockaddr*>(&address), &length), 0);
  ASSERT_EQ(nm.connect("127.0.0.1", std::to_string(ntohs(address.sin_port))), 0);
  int server_side = accept(listener, nullptr, nullptr);
  ASSERT_GE(server_side, 0);
  ASSERT_TRUE(sendRaw(server_side, framed("welcome")));
  usleep(20000);
  new FrameWatcher(2);
  GameManager::getInstance().run();
  ASSERT_EQ(r->messages.size(), 1u);
  EXPECT_EQ(r->messages[0], framed("welcome"));
  EXPECT_FALSE(logged("Not setup as server."));
  close(server_side);
  close(listener);
}

TEST_F(NetworkTest, SlowReadersCostQueuedBytesNotFrames) {
  GameManager::getInstance().shutDown();
  nettest::useVirtualClock();
  ASSERT_EQ(zvtest::startHeadless("networking:true,frame_time:33,"), 0);
  ASSERT_EQ(nm.setServer("0", "127.0.0.1"), 0);
  port = nm.getPort();
  nm.setMaxSockets(3);
  ASSERT_EQ(nm.setMaxQueueBytes(512 * 1024), 0);
  int good = client();  // index 0: a message a frame, each echoed
  ASSERT_EQ(acceptOne(), 0);
  int late = client();  // 1: reads only once its queue is in use
  ASSERT_EQ(acceptOne(), 1);
  int never = client();  // 2: never reads
  ASSERT_EQ(acceptOne(), 2);
  auto big = [](int i) { return framed(std::to_string(i) + std::string(65000, static_cast<char>('a' + i % 26))); };

  NetRecorder* r = new NetRecorder;
  std::vector<int> never_results;
  std::string late_sent, late_got;
  int late_extra = 3, frame = 0, echoes = 0, failed_frame = -1, closed_frame = -1;
  r->also = [&](const zv::EventNetwork& e) {
    if (e.getLabel() == zv::NETWORK_DATA) {
      EXPECT_EQ(nm.send(e.getSocketIndex(), r->messages.back().data(), e.getBytes()), 0);
    }
    if (e.getLabel() == zv::NETWORK_CLOSE)
      closed_frame = frame - 1;  // the network step comes after the step event
  };
  // The step handler is the game: it feeds both slow readers and checks the
  // previous frame's echo.
  struct Game : zv::Object {
    std::function<void()> step;
    Game() { registerInterest(zv::STEP_EVENT); }
    int eventHandler(const zv::Event*) override {
      step();
      return 1;
    }
  };
  Game* game = new Game;
  game->step = [&] {
    if (frame > 0) {
      std::string want = framed("frame " + std::to_string(frame - 1));
      EXPECT_EQ(nettest::readFor(good, want.size(), 2000), want);
      echoes++;
    }
    if (closed_frame < 0 && failed_frame < 0) {
      never_results.push_back(nm.send(2, big(frame).data(), static_cast<int>(big(frame).size())));
      if (never_results.back() != 0)
        failed_frame = frame;
    }
    if (late_extra > 0) {
      ASSERT_EQ(nm.send(1, big(frame).data(), static_cast<int>(big(frame).size())), 0);
      late_sent += big(frame);
      late_extra -= nm.getQueuedBytes(1) > 0;
    } else {
      late_got += nettest::readFor(late, late_sent.size() - late_got.size(), 5);
    }
    ASSERT_TRUE(sendRaw(good, framed("frame " + std::to_string(frame))));
    if (++frame == 400 || (closed_frame >= 0 && late_got.size() == late_sent.size()))
      GameManager::getInstance().setGameOver(true);
  };
  GameManager::getInstance().run();

  // The non-reader passed the limit well before 10 MB and was closed in the
  // frame that passed it; every send before returned at once.
  ASSERT_GE(failed_frame, 0);
  EXPECT_LT(failed_frame, 160);
  EXPECT_EQ(closed_frame, failed_frame);
  EXPECT_EQ(std::count(never_results.begin(), never_results.end(), 0), failed_frame);
  EXPECT_EQ(r->count(zv::NETWORK_CLOSE), 1);
  EXPECT_TRUE(logged("NetworkManager::send(): Error! Sock index 2 would queue "));
  EXPECT_TRUE(logged("bytes, over the limit (524288). Closing it."));
  nettest::readFor(never, 16 << 20, 3000);  // what the system had taken, then the end
  EXPECT_TRUE(nettest::closedByServer(never));
  // The late reader got everything, whole and in order; the good one every echo.
  EXPECT_TRUE(late_got == late_sent);
  EXPECT_EQ(nm.getQueuedBytes(1), 0);
  EXPECT_EQ(echoes, frame - 1);
}
