// Where each character's glyph sits on the font's glyph page and where its
// quad goes relative to the text position, looked up once per character for
// one character size and style.
#ifndef ZV_GLYPH_CACHE_H
#define ZV_GLYPH_CACHE_H

#include <array>
#include <vector>

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Texture.hpp>

#include "display/CellBatch.h"

namespace zv {

class GlyphCache {
 public:
  // Offsets from the text position in pixels, and the glyph's rectangle on
  // the page in page pixels; the same quad a one-letter text would make.
  struct Quad {
    float left, top, right, bottom;
    float u1, v1, u2, v2;
    bool drawn;  // false for white space and for bytes with no code point
    std::vector<InkSpan> ink;  // for each row of the page rectangle
  };

  GlyphCache();
  // Forgets every glyph; later lookups use this font, size and style.
  void reset(const sf::Font* p_new_font, unsigned int new_size, bool new_bold);
  const Quad& get(char ch);
  // The glyph page; it also holds a small solid white block.
  const sf::Texture* getPage() const;
  // Page pixel inside that white block.
  static constexpr float WHITE_TEXEL = 1.0f;

 private:
  const sf::Font* p_font;
  unsigned int size;
  bool bold;
  std::array<Quad, 256> quads;
  std::array<bool, 256> known;

  void load(unsigned char byte);
  // Where the glyph's page rectangle has ink, read from a copy of the page.
  static void measureInk(Quad& quad, const sf::Image& page);
};

} // namespace zv

#endif
