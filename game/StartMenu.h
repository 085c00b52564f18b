// The start menu: SPACE starts a run, Q quits.
#ifndef GAME_START_MENU_H
#define GAME_START_MENU_H

#include <zelvra/display/ViewObject.h>

class StartMenu : public zv::ViewObject {
 public:
  StartMenu();
  int eventHandler(const zv::Event* p_e) override;
  // Only the sprite, not the view object's text.
  int draw() override;
};

#endif
