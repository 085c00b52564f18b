#include "display/GlyphCache.h"

#include <algorithm>
#include <locale>

#include <SFML/System/String.hpp>

namespace zv {

GlyphCache::GlyphCache() : p_font(nullptr), size(0), bold(false), quads(), known() {}

void GlyphCache::reset(const sf::Font* p_new_font, unsigned int new_size, bool new_bold) {
  p_font = p_new_font;
  size = new_size;
  bold = new_bold;
  known.fill(false);
  // Asking for the page makes it, white block included, before any glyph;
  // the printable glyphs are made now rather than in the first frames, and
  // their ink read from one copy of the page.
  if (!p_font)
    return;
  p_font->getTexture(size);
  for (int byte = ' '; byte < 127; byte++)
    load(static_cast<unsigned char>(byte));
  sf::Image page = p_font->getTexture(size).copyToImage();
  for (int byte = ' '; byte < 127; byte++)
    measureInk(quads[byte], page);
}

const GlyphCache::Quad& GlyphCache::get(char ch) {
  unsigned char byte = static_cast<unsigned char>(ch);
  if (!known[byte]) {
    load(byte);
    if (quads[byte].drawn)
      measureInk(quads[byte], p_font->getTexture(size).copyToImage());
  }
  return quads[byte];
}

void GlyphCache::measureInk(Quad& quad, const sf::Image& page) {
  quad.ink.clear();
  if (!quad.drawn)
    return;
  int left = static_cast<int>(quad.u1), top = static_cast<int>(quad.v1);
  int width = static_cast<int>(quad.u2 - quad.u1), height = static_cast<int>(quad.v2 - quad.v1);
  sf::Vector2u page_size = page.getSize();
  quad.ink.assign(static_cast<std::size_t>(std::max(height, 0)), InkSpan{static_cast<short>(width), -1});
  for (int row = 0; row < height; row++)
    for (int col = 0; col < width; col++) {
      int x = left + col, y = top + row;
      if (x < 0 || y < 0 || x >= static_cast<int>(page_size.x) || y >= static_cast<int>(page_size.y) ||
          page.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)).a == 0)
        continue;
      InkSpan& span = quad.ink[static_cast<std::size_t>(row)];
      span.first = std::min(span.first, static_cast<short>(col));
      span.last = std::max(span.last, static_cast<short>(col));
    }
}

const sf::Texture* GlyphCache::getPage() const { return p_font ? &p_font->getTexture(size) : nullptr; }

void GlyphCache::load(unsigned char byte) {
  Quad& quad = quads[byte];
  quad = Quad();
  known[byte] = true;
  // The same conversion a one-letter text gets, so the same code point.
  char text[2] = {static_cast<char>(byte), '\0'};
  sf::String str(text, std::locale());
  if (!p_font || str.isEmpty())
    return;
  sf::Uint32 code = str[0];
  // White space moves the pen but makes no quad.
  if (code == L' ' || code == L'\t' || code == L'\n' || code == L'\r')
    return;
  const sf::Glyph& glyph = p_font->getGlyph(code, size, bold);
  // One pixel of padding around the glyph, as the page leaves around each.
  const float padding = 1.0f;
  float baseline = static_cast<float>(size);
  quad.left = glyph.bounds.left - padding;
  quad.top = baseline + glyph.bounds.top - padding;
  quad.right = glyph.bounds.left + glyph.bounds.width + padding;
  quad.bottom = baseline + glyph.bounds.top + glyph.bounds.height + padding;
  quad.u1 = static_cast<float>(glyph.textureRect.left) - padding;
  quad.v1 = static_cast<float>(glyph.textureRect.top) - padding;
  quad.u2 = static_cast<float>(glyph.textureRect.left + glyph.textureRect.width) + padding;
  quad.v2 = static_cast<float>(glyph.textureRect.top + glyph.textureRect.height) + padding;
  quad.drawn = true;
}

} // namespace zv
