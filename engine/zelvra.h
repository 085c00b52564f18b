// Everything a game usually needs, in one include (<zelvra/zelvra.h> once
// installed). Networking, path finding, shapes, particles and serialization
// have their own headers.
#ifndef ZV_ZELVRA_H
#define ZV_ZELVRA_H

#include "core/Box.h"
#include "core/Color.h"
#include "core/Config.h"
#include "core/EventStep.h"
#include "core/GameManager.h"
#include "core/InstalledData.h"
#include "core/LogManager.h"
#include "core/Random.h"
#include "core/Utility.h"
#include "core/Vector.h"
#include "core/Version.h"
#include "display/DisplayManager.h"
#include "display/EventKeyboard.h"
#include "display/EventMouse.h"
#include "display/EventView.h"
#include "display/ViewObject.h"
#include "effects/Splash.h"
#include "resources/Animation.h"
#include "resources/Frame.h"
#include "resources/ResourceManager.h"
#include "resources/Sound.h"
#include "resources/Sprite.h"
#include "world/EventCollision.h"
#include "world/EventOut.h"
#include "world/Object.h"
#include "world/WorldManager.h"

#endif
