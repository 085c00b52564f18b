// The game's sprites and sounds, loaded once at start-up.
#ifndef GAME_RESOURCES_H
#define GAME_RESOURCES_H

// Loads every sprite and sound of the game; a missing file only leaves its
// label empty (its objects invisible or silent).
void loadResources();

#endif
