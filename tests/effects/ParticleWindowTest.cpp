// Particles drawn by the world in a real window, checked by reading pixels.
#include <string>

#include <SFML/Graphics.hpp>
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "WindowCapture.h"
#include "core/GameManager.h"
#include "display/DisplayManager.h"
#include "effects/Particle.h"
#include "platform/Platform.h"
#include "world/WorldManager.h"

using zv::Particle;
using zv::Vector;

namespace {

class ParticleWindow : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(zv::platform::displayAvailable()) << "needs an X display";
    ASSERT_EQ(zvtest::startWindowed(), 0);
    ASSERT_NE(zv::DisplayManager::getInstance().getRenderWindow(), nullptr);
  }
  void TearDown() override {
    if (zv::GameManager::getInstance().isStarted())
      zv::GameManager::getInstance().shutDown();
  }

  // One frame of the real loop; its drawing stays in the back buffer.
  static sf::Image oneFrame() {
    zvtest::Recorder* p_stop = new zvtest::Recorder;
    p_stop->setSolidness(zv::SPECTRAL);
    p_stop->setVisible(false);
    p_stop->stop_after_steps = 1;
    p_stop->registerInterest(zv::STEP_EVENT);
    zv::GameManager::getInstance().run();
    return zvtest::captureWindow();
  }
};

} // namespace

TEST_F(ParticleWindow, DrawnAsItsColouredCircle) {
  // Cell (40, 12) is pixel (512, 384); a circle of size 10 spans 20 pixels
  // from 5 pixels up and left of it.
  Particle* solid = new Particle(10, 100, 255, 255, 0, 0);
  solid->setPosition(Vector(40, 12));
  Particle* faint = new Particle(10, 100, 128, 0, 0, 255);
  faint->setPosition(Vector(20, 6));
  sf::Image image = oneFrame();

  int red = 0, red_outside = 0;
  for (unsigned y = 0; y < image.getSize().y; y++) {
    for (unsigned x = 0; x < image.getSize().x; x++) {
      sf::Color c = image.getPixel(x, y);
      if (c.r > 200 && c.g == 0 && c.b == 0) {
        red++;
        if (x < 506 || x > 528 || y < 378 || y > 400)
          red_outside++;
      }
    }
  }
  EXPECT_GT(red, 150);  // most of a 20-pixel disc
  EXPECT_EQ(red_outside, 0);
  EXPECT_EQ(image.getPixel(517, 389), sf::Color(255, 0, 0));
  // Half opaque blue over the black background; (20, 6) is pixel (256, 192).
  sf::Color blended = image.getPixel(261, 197);
  EXPECT_EQ(blended.r, 0);
  EXPECT_NEAR(blended.b, 128, 2);
}
