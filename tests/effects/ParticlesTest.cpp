// Particles and fireworks on the running engine (headless, frame time 0).
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/EventStep.h"
#include "core/GameManager.h"
#include "core/LogManager.h"
#include "display/Shape.h"
#include "effects/Firework.h"
#include "effects/Particle.h"
#include "effects/Particles.h"
#include "world/EventOut.h"
#include "world/ObjectListIterator.h"
#include "world/WorldManager.h"

using zv::Firework;
using zv::Particle;
using zv::Vector;

namespace {

class Effects : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(zvtest::startHeadless("random_seed:4242,"), 0); }
  void TearDown() override {
    if (zv::GameManager::getInstance().isStarted())
      zv::GameManager::getInstance().shutDown();
  }

  // The particles of one type ("Particle" or "Firework") now in the world.
  static std::vector<Particle*> particles(const std::string& type = "Particle") {
    std::vector<Particle*> out;
    zv::ObjectList list = zv::WorldManager::getInstance().objectsOfType(type);
    zv::ObjectListIterator li(&list);
    for (li.first(); !li.isDone(); li.next()) {
      Particle* p = dynamic_cast<Particle*>(li.currentObject());
      if (p)
        out.push_back(p);
    }
    return out;
  }

  // Runs the real game loop for a number of frames.
  static void runFrames(int frames) {
    zvtest::Recorder* p_stop = new zvtest::Recorder;
    p_stop->setSolidness(zv::SPECTRAL);
    p_stop->stop_after_steps = frames;
    p_stop->registerInterest(zv::STEP_EVENT);
    zv::GameManager::getInstance().run();
    // Out of the next run; deleted at the end of its first frame.
    p_stop->unregisterInterest(zv::STEP_EVENT);
    zv::WorldManager::getInstance().markForDelete(p_stop);
  }

  static bool opacityOfASpreadAround255(int opacity) {
    // 255 + (0..74) - 37 in eight bits: 218..255, or 0..36 past the wrap.
    return (opacity >= 218 && opacity <= 255) || (opacity >= 0 && opacity <= 36);
  }
};

// Watches the world at the start of every frame, before anything else moves:
// what it sees is the state the previous frame left.
class Watcher : public zv::Object {
 public:
  std::vector<int> fireworks;  // fireworks alive
  std::vector<int> trails;     // trail particles alive
  std::vector<int> newborn;    // trail particles not yet stepped
  std::vector<Vector> newborn_at;
  int stop_after = 0;
  Watcher() {
    setSolidness(zv::SPECTRAL);
    registerInterest(zv::STEP_EVENT);
  }
  int eventHandler(const zv::Event* p_e) override {
    if (p_e->getType() != zv::STEP_EVENT)
      return 0;
    zv::WorldManager& world = zv::WorldManager::getInstance();
    fireworks.push_back(world.objectsOfType("Firework").getCount());
    int alive = 0, born = 0;
    zv::ObjectList list = world.objectsOfType("Particle");
    zv::ObjectListIterator li(&list);
    for (li.first(); !li.isDone(); li.next()) {
      const Particle* p = dynamic_cast<const Particle*>(li.currentObject());
      alive++;
      if (p && p->getAge() == 15) {
        born++;
        newborn_at.push_back(p->getPosition());
      }
    }
    trails.push_back(alive);
    newborn.push_back(born);
    if (static_cast<int>(fireworks.size()) >= stop_after)
      zv::GameManager::getInstance().setGameOver(true);
    return 1;
  }
};

} // namespace

TEST_F(Effects, ParticleIsASpectralShapeThatTakesNoId) {
  zv::Object* before = new zv::Object;
  int next = zv::getNextObjectId();
  Particle* p = new Particle(4.5f, 10, 200, 1, 2, 3);
  EXPECT_EQ(zv::getNextObjectId(), next);
  zv::Object* after = new zv::Object;
  EXPECT_EQ(after->getId(), before->getId() + 1);

  EXPECT_EQ(p->getId(), 0);
  EXPECT_EQ(p->getType(), "Particle");
  EXPECT_EQ(p->getSolidness(), zv::SPECTRAL);
  EXPECT_EQ(p->getAltitude(), 3);
  EXPECT_EQ(p->getAge(), 10);
  zv::Shape shape = p->getShape();
  EXPECT_EQ(shape.getType(), zv::CIRCLE);
  EXPECT_EQ(shape.getColor(), zv::CUSTOM);
  EXPECT_EQ(shape.getR(), 1);
  EXPECT_EQ(shape.getG(), 2);
  EXPECT_EQ(shape.getB(), 3);
  EXPECT_FLOAT_EQ(shape.getSize(), 4.5f);
  EXPECT_EQ(shape.getOpacity(), 200);
  ASSERT_EQ(p->getEventCount(), 1);
  EXPECT_EQ(p->getEventName(0), zv::STEP_EVENT);

  // The shared template does not leak one particle's looks into the next.
  Particle* q = new Particle(2, 1, 9, 7, 8, 9);
  EXPECT_EQ(q->getShape().getR(), 7);
  EXPECT_EQ(p->getShape().getR(), 1);
  EXPECT_EQ(q->getShape().getOpacity(), 9);
}

TEST_F(Effects, FireworkFallsAndListensTwice) {
  Firework* f = new Firework(6, 40, 255, 255, 69, 0);
  EXPECT_EQ(f->getType(), "Firework");
  EXPECT_EQ(f->getId(), 0);
  EXPECT_EQ(f->getAcceleration(), Vector(0, 0.01f));
  ASSERT_EQ(f->getEventCount(), 2);
  EXPECT_EQ(f->getEventName(0), zv::STEP_EVENT);
  EXPECT_EQ(f->getEventName(1), zv::STEP_EVENT);
  EXPECT_EQ(f->getShape().getR(), 255);
  EXPECT_EQ(f->getShape().getG(), 69);
}

TEST_F(Effects, ParticleLivesItsAgeInSteps) {
  Particle* p = new Particle(2, 3, 255, 9, 9, 9);
  p->setPosition(Vector(40, 12));
  new Particle(2, 0, 255, 9, 9, 9);  // gone on its first step
  runFrames(1);
  ASSERT_EQ(particles().size(), 1u);
  EXPECT_EQ(p->getAge(), 2);
  runFrames(1);
  ASSERT_EQ(particles().size(), 1u);
  EXPECT_EQ(p->getAge(), 1);
  runFrames(1);
  EXPECT_TRUE(particles().empty());
}

TEST_F(Effects, ParticleAnswersStepAndOutOnly) {
  Particle* p = new Particle(2, 50, 255, 9, 9, 9);
  zv::EventStep step(0);
  EXPECT_EQ(p->eventHandler(&step), 1);
  EXPECT_EQ(p->getAge(), 49);
  zv::Event other;
  other.setType("custom");
  EXPECT_EQ(p->eventHandler(&other), 0);
  zv::WorldManager::getInstance().update();
  EXPECT_EQ(particles().size(), 1u);
  zv::EventOut out;
  EXPECT_EQ(p->eventHandler(&out), 1);
  zv::WorldManager::getInstance().update();
  EXPECT_TRUE(particles().empty());
}

TEST_F(Effects, ParticleLeavingTheWorldIsDeleted) {
  Particle* p = new Particle(2, 1000, 255, 9, 9, 9);
  p->setPosition(Vector(78.8f, 10));
  p->setVelocity(Vector(1, 0));
  runFrames(1);
  ASSERT_EQ(particles().size(), 1u);  // 79.8: its box still meets the world
  runFrames(1);
  EXPECT_TRUE(particles().empty());
}

TEST_F(Effects, FireworkOf61StepsDiesInItsThirtyFirstFrameAfter62Trails) {
  Watcher* watcher = new Watcher;  // registered first: it sees each frame's start
  watcher->stop_after = 50;
  Firework* f = new Firework(6, 61, 255, 255, 69, 0);
  f->setPosition(Vector(40, 10));
  zv::GameManager::getInstance().run();

  // Observation i is taken at the start of frame i, so it shows frames 0..i-1.
  ASSERT_EQ(watcher->fireworks.size(), 50u);
  EXPECT_EQ(watcher->fireworks[30], 1);  // alive after 30 frames
  EXPECT_EQ(watcher->fireworks[31], 0);  // deleted at the end of the 31st
  int total = 0;
  for (std::size_t i = 1; i < watcher->newborn.size(); i++) {
    EXPECT_EQ(watcher->newborn[i], i <= 31 ? 2 : 0) << "frame " << i - 1;
    total += watcher->newborn[i];
  }
  EXPECT_EQ(total, 62);
  // Each trail lives 15 frames: those of the last frame go 15 frames later.
  EXPECT_EQ(watcher->trails[15], 30);
  EXPECT_EQ(watcher->trails[16], 30);
  EXPECT_EQ(watcher->trails[45], 2);
  EXPECT_EQ(watcher->trails[46], 0);
  // The first two trails stand where the firework started.
  ASSERT_GE(watcher->newborn_at.size(), 2u);
  EXPECT_EQ(watcher->newborn_at[0], Vector(40, 10));
  EXPECT_EQ(watcher->newborn_at[1], Vector(40, 10));
}

TEST_F(Effects, TrailParticlesAreHalfSizedOpaqueAndOfTheFireworksColour) {
  Firework* f = new Firework(7, 41, 90, 10, 20, 30);
  f->setPosition(Vector(30, 5));
  zv::EventStep step(0);
  EXPECT_EQ(f->eventHandler(&step), 1);
  std::vector<Particle*> trail = particles();
  ASSERT_EQ(trail.size(), 1u);
  EXPECT_EQ(trail[0]->getAge(), 10);  // 41 / 4, rounded toward zero
  EXPECT_EQ(trail[0]->getPosition(), Vector(30, 5));
  EXPECT_EQ(trail[0]->getVelocity(), Vector(0, 0));
  zv::Shape shape = trail[0]->getShape();
  EXPECT_FLOAT_EQ(shape.getSize(), 3.5f);
  EXPECT_EQ(shape.getOpacity(), 255);
  EXPECT_EQ(shape.getR(), 10);
  EXPECT_EQ(shape.getG(), 20);
  EXPECT_EQ(shape.getB(), 30);
  zv::EventOut out;
  EXPECT_EQ(f->eventHandler(&out), 1);
  EXPECT_EQ(particles().size(), 1u);  // no trail for other events
}

TEST_F(Effects, BurstAtScaleTwoInRed) {
  int next = zv::getNextObjectId();
  std::vector<Particle*> all;
  for (int round = 0; round < 20; round++) {
    zv::addParticles(zv::BURST, Vector(40, 12), 2, zv::RED);
    std::vector<Particle*> made = particles();
    ASSERT_EQ(made.size(), 100u * static_cast<std::size_t>(round + 1));
    all = made;
  }
  EXPECT_EQ(zv::getNextObjectId(), next);
  int min_age = 1000, max_age = 0;
  float min_speed = 1, max_speed = 0;
  bool quadrant[4] = {false, false, false, false};
  bool wrapped = false, unwrapped = false;
  for (Particle* p : all) {
    EXPECT_EQ(p->getId(), 0);
    EXPECT_EQ(p->getPosition(), Vector(40, 12));
    zv::Shape shape = p->getShape();
    EXPECT_FLOAT_EQ(shape.getSize(), 3);
    EXPECT_EQ(shape.getR(), 255);
    EXPECT_EQ(shape.getG(), 0);
    EXPECT_EQ(shape.getB(), 0);
    EXPECT_TRUE(opacityOfASpreadAround255(shape.getOpacity())) << int(shape.getOpacity());
    (shape.getOpacity() <= 36 ? wrapped : unwrapped) = true;
    min_age = std::min(min_age, p->getAge());
    max_age = std::max(max_age, p->getAge());
    min_speed = std::min(min_speed, p->getSpeed());
    max_speed = std::max(max_speed, p->getSpeed());
    Vector d = p->getDirection();
    EXPECT_NEAR(d.getMagnitude(), 1.0f, 1e-5f);
    quadrant[(d.getX() >= 0 ? 0 : 1) + (d.getY() >= 0 ? 0 : 2)] = true;
  }
  EXPECT_EQ(min_age, 15);
  EXPECT_EQ(max_age, 44);
  EXPECT_GE(min_speed, 0.06f - 1e-6f);
  EXPECT_LE(max_speed, 0.18f + 1e-6f);
  EXPECT_LT(min_speed, 0.062f);
  EXPECT_GT(max_speed, 0.178f);
  EXPECT_TRUE(quadrant[0] && quadrant[1] && quadrant[2] && quadrant[3]);
  EXPECT_TRUE(wrapped && unwrapped);
}

TEST_F(Effects, FireworksAtScaleThree) {
  for (int round = 0; round < 100; round++) {
    zv::addParticles(zv::FIREWORKS, Vector(40, 12), 3, zv::CUSTOM);
    ASSERT_EQ(particles("Firework").size(), 12u * static_cast<std::size_t>(round + 1));
  }
  std::vector<Particle*> all = particles("Firework");
  EXPECT_TRUE(particles("Particle").empty());
  int min_age = 1000, max_age = 0;
  int min_green = 255, max_green = 0;
  for (Particle* p : all) {
    zv::Shape shape = p->getShape();
    EXPECT_FLOAT_EQ(shape.getSize(), 6);
    // One offset of -127..127 on both lit channels; blue stays dark.
    EXPECT_EQ(shape.getB(), 0);
    int r = shape.getR(), g = shape.getG();
    EXPECT_GE(r, 128);
    if (r < 255)
      EXPECT_EQ(g, std::max(0, 69 + (r - 255)));  // the same negative offset
    else
      EXPECT_GE(g, 69);
    min_green = std::min(min_green, g);
    max_green = std::max(max_green, g);
    min_age = std::min(min_age, p->getAge());
    max_age = std::max(max_age, p->getAge());
    EXPECT_TRUE(opacityOfASpreadAround255(shape.getOpacity()));
    // Upwards, give or take 0.75 sideways: always rising at first.
    EXPECT_LT(p->getVelocity().getY(), 0.0f);
    EXPECT_GE(p->getSpeed(), 0.1f - 1e-6f);
    EXPECT_LE(p->getSpeed(), 0.3f + 1e-6f);
  }
  EXPECT_EQ(min_age, 30);
  EXPECT_EQ(max_age, 89);
  EXPECT_EQ(min_green, 0);  // clamped
  EXPECT_EQ(max_green, 69 + 127);
}

TEST_F(Effects, PuffDriftsUpInGreys) {
  zv::addParticles(zv::PUFF, Vector(20, 20), 1, zv::CUSTOM);
  std::vector<Particle*> puff = particles();
  ASSERT_EQ(puff.size(), 20u);
  for (Particle* p : puff) {
    zv::Shape shape = p->getShape();
    // One offset of -25..24 on all three channels keeps it grey.
    EXPECT_EQ(shape.getR(), shape.getG());
    EXPECT_EQ(shape.getG(), shape.getB());
    EXPECT_GE(shape.getR(), 103);
    EXPECT_LE(shape.getR(), 152);
    EXPECT_GE(shape.getOpacity(), 103);
    EXPECT_LE(shape.getOpacity(), 152);
    EXPECT_GE(p->getAge(), 18);
    EXPECT_LE(p->getAge(), 22);
    EXPECT_NEAR(shape.getSize(), 5.0f / 1.5f, 0.075f + 1e-5f);
    EXPECT_NEAR(p->getSpeed(), 0.2f, 0.025f + 1e-6f);
    EXPECT_LT(p->getDirection().getY(), -0.99f);  // 0.15 sideways at most against 1 up
  }
}

TEST_F(Effects, SprayHasNoSpreadButOpacity) {
  zv::addParticles(zv::SPRAY, Vector(10, 10), 2, zv::CUSTOM);
  std::vector<Particle*> spray = particles();
  ASSERT_EQ(spray.size(), 100u);
  for (Particle* p : spray) {
    zv::Shape shape = p->getShape();
    EXPECT_FLOAT_EQ(shape.getSize(), 5);
    EXPECT_EQ(p->getAge(), 20);
    EXPECT_FLOAT_EQ(p->getSpeed(), 0.12f);
    EXPECT_EQ(shape.getR(), 255);
    EXPECT_EQ(shape.getG(), 20);
    EXPECT_EQ(shape.getB(), 147);
    EXPECT_TRUE(opacityOfASpreadAround255(shape.getOpacity()));
  }
}

TEST_F(Effects, PresetColourArgument) {
  zv::LogManager::getInstance().setLogLevel(5);
  zv::addParticles(zv::SPRAY, Vector(10, 10), 0.1f, zv::CYAN);
  zv::addParticles(zv::SPRAY, Vector(10, 10), 0.1f, static_cast<zv::Color>(42));
  std::vector<Particle*> made = particles();
  ASSERT_EQ(made.size(), 10u);
  int cyan = 0, own = 0;
  for (Particle* p : made) {
    zv::Shape s = p->getShape();
    if (s.getR() == 0 && s.getG() == 255 && s.getB() == 255)
      cyan++;
    if (s.getR() == 255 && s.getG() == 20 && s.getB() == 147)
      own++;
  }
  EXPECT_EQ(cyan, 5);
  EXPECT_EQ(own, 5);
  EXPECT_TRUE(zvtest::logContains("colorToRGB(): Color 42 not supported."));
}

TEST_F(Effects, UnknownPresetOrScaleMakesNothing) {
  zv::addParticles(static_cast<zv::ParticlePreset>(4), Vector(10, 10), 2, zv::RED);
  zv::addParticles(static_cast<zv::ParticlePreset>(-1), Vector(10, 10), 2, zv::RED);
  zv::addParticles(zv::BURST, Vector(10, 10), 0, zv::RED);
  zv::addParticles(zv::BURST, Vector(10, 10), -3, zv::RED);
  zv::addParticles(zv::FIREWORKS, Vector(10, 10), 0.2f, zv::RED);  // 4 x 0.2 rounds to none
  EXPECT_TRUE(particles().empty());
  EXPECT_TRUE(particles("Firework").empty());
}

TEST_F(Effects, CountBelowOneCreatesNothingWhateverTheKind) {
  Vector at(5, 5);
  EXPECT_EQ(zv::addParticles(0, 0, at, 0, at, 0, 2, 0, 0.1f, 0, 10, 0, 255, 0, 1, 1, 1, 0, zv::PARTICLE), 0);
  EXPECT_EQ(zv::addParticles(-4, 0, at, 0, at, 0, 2, 0, 0.1f, 0, 10, 0, 255, 0, 1, 1, 1, 0,
                             static_cast<zv::ParticleKind>(9)),
            0);
  EXPECT_TRUE(particles().empty());
  EXPECT_FALSE(zvtest::logContains("not defined"));
}

TEST_F(Effects, UndefinedKindStopsAtTheFirstParticle) {
  Vector at(5, 5);
  EXPECT_EQ(zv::addParticles(3, 0, at, 0, at, 0, 2, 0, 0.1f, 0, 10, 0, 255, 0, 1, 1, 1, 0,
                             static_cast<zv::ParticleKind>(2)),
            -1);
  EXPECT_TRUE(particles().empty());
  EXPECT_TRUE(particles("Firework").empty());
  EXPECT_EQ(zvtest::logCount("addParticles(): Type 2 not defined."), 1);
}

TEST_F(Effects, NoSpreadMeansExactValues) {
  EXPECT_EQ(zv::addParticles(5, 3, Vector(7, 8), 0, Vector(3, 4), 0, 2.5f, 0, 0.5f, 0, 12, 0, 99, 0, 10, 0, 30, 0,
                             zv::PARTICLE),
            0);
  std::vector<Particle*> made = particles();
  ASSERT_EQ(made.size(), 5u);  // the count spread does nothing
  for (Particle* p : made) {
    EXPECT_EQ(p->getPosition(), Vector(7, 8));
    EXPECT_FLOAT_EQ(p->getDirection().getX(), 0.6f);
    EXPECT_FLOAT_EQ(p->getDirection().getY(), 0.8f);
    EXPECT_FLOAT_EQ(p->getSpeed(), 0.5f);
    EXPECT_EQ(p->getAge(), 12);
    zv::Shape s = p->getShape();
    EXPECT_FLOAT_EQ(s.getSize(), 2.5f);
    EXPECT_EQ(s.getOpacity(), 99);
    EXPECT_EQ(s.getR(), 10);
    EXPECT_EQ(s.getG(), 0);
    EXPECT_EQ(s.getB(), 30);
  }
}

TEST_F(Effects, PositionSpreadIsCentredOnThePosition) {
  ASSERT_EQ(zv::addParticles(400, 0, Vector(40, 12), 4, Vector(1, 0), 0, 2, 0, 0.1f, 0, 10, 0, 255, 0, 1, 1, 1, 0,
                             zv::FIREWORK),
            0);
  std::vector<Particle*> made = particles("Firework");
  ASSERT_EQ(made.size(), 400u);
  float min_x = 100, max_x = 0, min_y = 100, max_y = 0;
  bool x_equals_y_everywhere = true;
  for (Particle* p : made) {
    Vector v = p->getPosition();
    min_x = std::min(min_x, v.getX());
    max_x = std::max(max_x, v.getX());
    min_y = std::min(min_y, v.getY());
    max_y = std::max(max_y, v.getY());
    if (v.getX() - 40 != v.getY() - 12)
      x_equals_y_everywhere = false;
  }
  EXPECT_GE(min_x, 38.0f);
  EXPECT_LE(max_x, 42.0f);
  EXPECT_GE(min_y, 10.0f);
  EXPECT_LE(max_y, 14.0f);
  EXPECT_LT(min_x, 38.2f);
  EXPECT_GT(max_x, 41.8f);
  EXPECT_FALSE(x_equals_y_everywhere);  // two separate draws
}

TEST_F(Effects, SerializingParticlesWarnsAndDefersToTheObject) {
  zv::LogManager::getInstance().setLogLevel(1);
  Particle* p = new Particle(2, 10, 255, 1, 1, 1);
  std::string text = p->serialize("TYPE,POSITION,");
  EXPECT_EQ(text, "pos-x:1,pos-y:1,type:Particle,");
  EXPECT_TRUE(zvtest::logContains("Particle::serialize(): Warning!  Particles attributes are not serialized"));
  EXPECT_EQ(p->deserialize("pos-x:3,pos-y:4,"), 0);
  EXPECT_EQ(p->getPosition(), Vector(3, 4));
  EXPECT_TRUE(zvtest::logContains("Particle::deserialize(): Warning! Cannot deserialize particles."));
}
