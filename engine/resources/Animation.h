// Per-object playback of a sprite: which frame shows and how long it has
// been shown. Points at a sprite it does not own.
#ifndef ZV_ANIMATION_H
#define ZV_ANIMATION_H

#include <string>

#include <zelvra/core/Box.h>
#include <zelvra/core/Vector.h>
#include <zelvra/resources/Sprite.h>

namespace zv {

class Animation {
 private:
  Sprite* p_sprite;
  int index;
  int slowdown_count;  // -1 freezes the animation
  std::string name;
  bool modified;

 public:
  Animation();
  virtual ~Animation();

  // Takes the sprite's label as name (unless null) and starts at frame 0.
  void setSprite(Sprite* p_new_sprite);
  Sprite* getSprite() const;

  // These mark the animation modified only when the value changes.
  void setName(std::string new_name);
  std::string getName() const;
  void setIndex(int new_index);
  int getIndex() const;
  void setSlowdownCount(int new_slowdown_count);
  int getSlowdownCount() const;
  bool isModified() const;

  // Draws the current frame, then advances; 0 with no sprite.
  int draw(Vector position);
  // The sprite's extent centred on the position, or the unit box with no sprite.
  Box getBox() const;

  // "ALL", "" (when modified) or a selection holding "ANIMATION," writes
  // the three keys and clears modified; otherwise "".
  virtual std::string serialize(std::string attributes);
  // Applies sprite_name (looked up by label), sprite_index and
  // sprite_slowdown_count when present; always 0.
  virtual int deserialize(std::string text);
};

} // namespace zv

#endif
