// What the splash's title and insect share: a spectral world object that
// wears sprites drawn in code and owns them, and that a key or the end of
// the game removes.
#ifndef ZV_SPLASH_OBJECT_H
#define ZV_SPLASH_OBJECT_H

#include <initializer_list>
#include <string>

#include <zelvra/core/Color.h>
#include <zelvra/world/Object.h>

namespace zv {

class Sprite;

class SplashObject : public Object {
 private:
  int key_result;
  Sprite* p_sprite;  // owned

 protected:
  // key_result is what eventHandler answers a key with.
  SplashObject(std::string type, int key_result);
  // A sprite of pictures drawn in code, one array of rows per frame; its
  // blank cells show what is behind. The caller owns it until it wears it.
  static Sprite* drawSprite(const char* label, Color color, int width, int height,
                            std::initializer_list<const char* const*> frames);
  // Shows frame index of p_new, with the box set from it, and frees the
  // sprite worn before; frozen animations never advance by themselves.
  void wear(Sprite* p_new, int index = 0, bool frozen = false);
  // One step of the object's own motion; the answer to the step event.
  virtual int step() = 0;

 public:
  // Stops listening to steps and then to keys, and frees the sprite.
  ~SplashObject() override;
  // Once the game is over: marks itself for deletion, 0. A key: sets game
  // over and marks itself, key_result. A step: step(). Anything else: 0.
  int eventHandler(const Event* p_e) override;
};

} // namespace zv

#endif
