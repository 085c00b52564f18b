#include "display/GlyphCache.h"

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
  // the printable glyphs are made now rather than in the first frames.
  if (!p_font)
    return;
  p_font->getTexture(size);
  for (int byte = ' '; byte < 127; byte++)
    get(static_cast<char>(byte));
}

const GlyphCache::Quad& GlyphCache::get(char ch) {
  unsigned char byte = static_cast<unsigned char>(ch);
  if (!known[byte])
    load(byte);
  return quads[byte];
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
