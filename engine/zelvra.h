// Everything a game usually needs, in one include (<zelvra/zelvra.h> once
// installed). Networking, path finding, shapes, particles and serialization
// have their own headers.
#ifndef ZV_ZELVRA_H
#define ZV_ZELVRA_H

#include <zelvra/core/Box.h>
#include <zelvra/core/Color.h>
#include <zelvra/core/Config.h>
#include <zelvra/core/EventStep.h>
#include <zelvra/core/GameManager.h>
#include <zelvra/core/InstalledData.h>
#include <zelvra/core/LogManager.h>
#include <zelvra/core/Random.h>
#include <zelvra/core/Utility.h>
#include <zelvra/core/Vector.h>
#include <zelvra/core/Version.h>
#include <zelvra/display/DisplayManager.h>
#include <zelvra/display/EventKeyboard.h>
#include <zelvra/display/EventMouse.h>
#include <zelvra/display/EventView.h>
#include <zelvra/display/ViewObject.h>
#include <zelvra/effects/Splash.h>
#include <zelvra/resources/Animation.h>
#include <zelvra/resources/Frame.h>
#include <zelvra/resources/ResourceManager.h>
#include <zelvra/resources/Sound.h>
#include <zelvra/resources/Sprite.h>
#include <zelvra/world/EventCollision.h>
#include <zelvra/world/EventOut.h>
#include <zelvra/world/Object.h>
#include <zelvra/world/WorldManager.h>

#endif
