// Every glyph of one font at one character size and style: where its quad
// goes relative to the pen, where it sits on the font's glyph page, and
// which of its page texels have ink. A glyph is made for the code point the
// default locale gives a byte, the same one a one-letter text would show.
#ifndef ZV_GLYPH_CACHE_H
#define ZV_GLYPH_CACHE_H

#include <array>
#include <vector>

#include <SFML/Graphics/Font.hpp>
#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/Rect.hpp>
#include <SFML/Graphics/Texture.hpp>

#include <zelvra/display/Quad.h>

namespace zv {

class GlyphCache {
 public:
  // The texels with ink on one row of a glyph's page rectangle, counted from
  // its left edge; first > last when the row has none.
  struct InkSpan {
    short first, last;
  };

  struct Glyph {
    // The same quad a one-letter text makes: the glyph with the page's one
    // pixel of padding around it, placed relative to the pen.
    Quad quad;
    bool drawn;                // false for white space and for a byte with no code point
    std::vector<InkSpan> ink;  // one span for each row of the page rectangle

    // Whether drawing this piece of the glyph (the quad clipped, then placed)
    // changes any pixel: it covers a pixel centre whose sample reads a texel
    // with ink. A piece that covers no centre draws nothing, and a glyph's
    // texels without ink are wholly transparent.
    bool inked(const Quad& piece) const;
  };

  GlyphCache();
  // Forgets every glyph and makes all 256 for this font (null: none), size
  // and style; the font must outlive its glyphs.
  void reset(const sf::Font* p_new_font, unsigned int new_size, bool new_bold);
  // The glyph of a byte; one whose drawn is false where there is no font.
  const Glyph& get(char ch) const { return glyphs[static_cast<unsigned char>(ch)]; }
  // The box, relative to the pen, that every glyph made stays within
  // (empty without a font).
  const sf::FloatRect& reach() const { return glyph_reach; }
  // The glyph page (null without a font); it also holds a solid white block.
  const sf::Texture* getPage() const;
  // A page pixel inside that white block.
  static constexpr float WHITE_TEXEL = 1.0f;

 private:
  const sf::Font* p_font;
  unsigned int size;
  bool bold;
  std::array<Glyph, 256> glyphs;
  sf::FloatRect glyph_reach;

  Glyph make(sf::Uint32 code) const;
  // Where the glyph's page rectangle has ink, read from a copy of the page.
  static void measureInk(Glyph& glyph, const sf::Image& page);
};

} // namespace zv

#endif
