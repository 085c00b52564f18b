// The game loop's network step: one accept and every whole message a frame.
#include <linux/sockios.h>
#include <sys/ioctl.h>

#include "NetworkFixture.h"

using nettest::framed;

TEST_F(NetworkTest, LoopAcceptsOnceAFrameAndAnnouncesEveryMessage) {
  nm.setMaxSockets(2);
  int fds[] = {client(), client()};
  ASSERT_TRUE(nettest::sendRaw(fds[0], framed("a1") + framed("a2")) && nettest::sendRaw(fds[1], framed("b1")));
  for (int fd : fds)  // until the server's system holds every byte
    ASSERT_TRUE(nettest::waitUntil([&] { int left = -1; return ioctl(fd, SIOCOUTQ, &left) == 0 && left == 0; }));
  zvtest::Recorder* frames = new zvtest::Recorder;  // ends the loop at a step count
  frames->registerInterest(zv::STEP_EVENT);
  frames->stop_after_steps = 1;
  zv::GameManager::getInstance().run();
  EXPECT_EQ(r->messages, (std::vector<std::string>{framed("a1"), framed("a2")}));
  frames->stop_after_steps = 2;
  zv::GameManager::getInstance().run();
  EXPECT_EQ(r->messages, (std::vector<std::string>{framed("a1"), framed("a2"), framed("b1")}));
  EXPECT_FALSE(zvtest::logContains("Residual network data."));
  // Left unread, a message is announced again until the frame's share is used up.
  r->consume = false;
  ASSERT_TRUE(nettest::sendRaw(fds[0], framed("sticky")) && nettest::waitUntil([&] { return nm.isData(0) == 10; }));
  frames->stop_after_steps = 4;
  zv::GameManager::getInstance().run();
  EXPECT_EQ(zvtest::logCount("GameManager::run(): Warning! Residual network data."), 2);
}
