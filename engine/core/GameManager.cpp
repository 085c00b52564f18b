#include <zelvra/core/GameManager.h>

#include <cctype>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include <zelvra/core/Clock.h>
#include <zelvra/core/Config.h>
#include <zelvra/core/EventStep.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/display/DisplayManager.h>
#include <zelvra/display/InputManager.h>
#include <zelvra/network/NetworkManager.h>
#include <zelvra/platform/Platform.h>
#include <zelvra/platform/Signals.h>
#include <zelvra/resources/ResourceManager.h>
#include <zelvra/world/PathManager.h>
#include <zelvra/world/WorldManager.h>

namespace zv {

namespace {
const char* const STARS = "****************************************************";
const int CWD_BUFFER = 256;

template <class M>
Manager& instance() {
  return M::getInstance();
}

// The managers between the log and the game, in the order they start; they
// stop in the reverse order. The name goes into their log lines.
const struct {
  const char* name;
  Manager& (*get)();
  bool networking_only;
} MANAGERS[] = {
    {"display", &instance<DisplayManager>, false},   {"input", &instance<InputManager>, false},
    {"network", &instance<NetworkManager>, true},    {"resource", &instance<ResourceManager>, false},
    {"world", &instance<WorldManager>, false},       {"path", &instance<PathManager>, false},
};

// "Display" for "display".
std::string capitalised(const char* name) {
  std::string text = name;
  text[0] = static_cast<char>(toupper(text[0]));
  return text;
}

} // namespace

GameManager::GameManager() : game_over(false), frame_time(0), step_count(0) { setType("GameManager"); }
GameManager::~GameManager() {}

GameManager& GameManager::getInstance() {
  static GameManager instance;
  return instance;
}

int GameManager::startUp() {
  LogManager& log = LogManager::getInstance();
  if (warnIfStarted())
    return -1;
  platform::catchStopSignals();
  Config& config = Config::getInstance();
  std::string text;
  config.loadConfig(text);

  if (log.startUp() != 0) {
    log.writeLog("Error starting log manager!");
    return -1;
  }
  log.writeLog("%s", STARS);
  log.writeLog("** Zelvra version %.2f **", static_cast<double>(ZELVRA_VERSION));
  log.writeLog("** Game engine started **");
  log.writeLog("%s", STARS);
  config.writeConfig();
  // Already on stderr; the log keeps them too, so the reason stays with the run.
  std::vector<std::string> errors = config.getErrors();
  for (const std::string& line : errors)
    log.writeLog("%s", line.c_str());
  if (!errors.empty())
    return -1;

  char cwd[CWD_BUFFER];
  log.writeLog(1, "Working directory:");
  if (platform::currentDirectory(cwd, sizeof(cwd)))
    log.writeLog(1, "  %s", cwd);
  else
    log.writeLog(1, "  %s", "(full path too long)");
  log.writeLog(1, "Log Manager started.");

  frame_time = config.getFrameTime();
  log.writeLog(5, "GameManager::startUp(): frame time is %d", frame_time);

  bool networking = config.getNetworking();
  for (const auto& manager : MANAGERS) {
    if (manager.networking_only && !networking)
      continue;
    if (manager.get().startUp() != 0) {
      log.writeLog("Error starting %s manager!", manager.name);
      return -1;
    }
    log.writeLog(1, "%s manager started.", capitalised(manager.name).c_str());
  }

  DisplayManager& display = DisplayManager::getInstance();
  WorldManager& world = WorldManager::getInstance();
  Box boundary(Vector(0, 0), static_cast<float>(display.getHorizontalChars()),
               static_cast<float>(display.getVerticalChars()));
  world.setBoundary(boundary);
  world.setView(boundary);
  world.setViewSlack(Vector(VIEW_SLACK, VIEW_SLACK));

  unsigned int seed = static_cast<unsigned int>(config.getRandomSeed());
  if (seed == 0)
    seed = static_cast<unsigned int>(platform::calendarSeconds());
  if (seed != 0xFFFFFFFFu) {
    log.writeLog(10, "GameManager()::startUp(): srand() seed with %d", static_cast<int>(seed));
    srand(seed);
  }

  if (platform::timeBeginPeriod(1) == platform::TIMER_NO_CAN_DO)
    log.writeLog(1, "GameManager()::startUp(): Warning!  timeBeginPeriod() cannot accept 1 msec.");

  game_over = false;
  Manager::startUp();
  log.writeLog(1, "GameManager successfully started.");
  return 0;
}

void GameManager::shutDown() {
  LogManager& log = LogManager::getInstance();
  game_over = true;
  // A second signal may cut the shut-down short: keep every line it wrote.
  log.setFlush(true);
  if (platform::timeEndPeriod(1) == platform::TIMER_NO_CAN_DO)
    log.writeLog(1, "GameManager()::shutDown(): Warning! timeEndPeriod() cannot accept 1 msec.");

  bool networking = Config::getInstance().getNetworking();
  for (auto manager = std::rbegin(MANAGERS); manager != std::rend(MANAGERS); ++manager) {
    if (manager->networking_only && !networking)
      continue;
    manager->get().shutDown();
    log.writeLog(1, "%s manager stopped", capitalised(manager->name).c_str());
  }

  log.writeLog("%s", STARS);
  log.writeLog("** Game engine stopped **");
  log.shutDown();
  Manager::shutDown();
  platform::releaseStopSignals();
}

void GameManager::run() {
  LogManager& log = LogManager::getInstance();
  WorldManager& world = WorldManager::getInstance();
  DisplayManager& display = DisplayManager::getInstance();
  InputManager& input = InputManager::getInstance();
  Clock clock;
  log.writeLog(1, "GameManager::run(): starting game loop");
  game_over = false;
  step_count = 0;
  int oversleep = 0;

  while (true) {
    clock.delta();
    {
      EventStep step(step_count);
      onEvent(&step);
    }
    display.presentFrame();
    input.getInput();
    if (Config::getInstance().getNetworking())
      networkStep(clock);

    world.update();
    world.draw();

    // Path searches get most of what is left of the frame.
    int path_time = frame_time * 1000 - clock.split() - oversleep;
    PathManager::getInstance().cycle(static_cast<int>(static_cast<float>(path_time) * PATH_FRAME_SHARE / 1000.0f));

    int split = clock.split();
    int remaining = frame_time * 1000 - split - oversleep;
    if (remaining > 0) {
      int before = clock.split();
      platform::sleepMillis(remaining / 1000);
      int after = clock.split();
      int over = after - before - remaining;
      oversleep = over >= 0 ? over : 0;
    } else {
      if (oversleep == 0 && frame_time > 0 && step_count > 0)
        log.writeLog("GameManager::run(): Can't keep up! frame_time %d ms, split %d ms", frame_time, split / 1000);
      oversleep = 0;
    }

    step_count++;
    if (platform::stopSignal() != 0 && !game_over) {
      log.writeLog("GameManager::run(): Signal %d received, ending the game.", platform::stopSignal());
      game_over = true;
    }
    if (game_over) {
      log.writeLog(1, "GameManager::run(): end of game loop");
      return;
    }
  }
}

void GameManager::networkStep(const Clock& clock) {
  NetworkManager& network = NetworkManager::getInstance();
  if (network.isServer())
    network.accept();
  int deadline = static_cast<int>(static_cast<float>(frame_time) * NETWORK_FRAME_SHARE * 1000.0f) + clock.split();
  while (handOutMessages()) {
    if (clock.split() >= deadline) {
      LogManager::getInstance().writeLog("GameManager::run(): Warning! Residual network data.");
      return;
    }
  }
}

bool GameManager::handOutMessages() {
  NetworkManager& network = NetworkManager::getInstance();
  bool handled = false;
  // Handlers may close connections: the count is read on every turn.
  for (int i = 0; i < network.getNumConnections(); i++)
    if (network.genDataEvents(i) > 0)
      handled = true;
  return handled && network.getNumConnections() > 0;
}

bool GameManager::isValid(std::string event_type) const { return event_type == STEP_EVENT; }
void GameManager::setGameOver(bool new_game_over) { game_over = new_game_over; }
bool GameManager::getGameOver() const { return game_over; }
int GameManager::getFrameTime() const { return frame_time; }
int GameManager::getStepCount() const { return step_count; }

} // namespace zv
