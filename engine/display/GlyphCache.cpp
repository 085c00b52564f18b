#include <zelvra/display/GlyphCache.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <locale>

#include <SFML/System/String.hpp>

namespace zv {

bool GlyphCache::Glyph::inked(const Quad& piece) const {
  // The first and last pixel centres inside the piece.
  float x0 = std::ceil(piece.left - 0.5f) + 0.5f, y0 = std::ceil(piece.top - 0.5f) + 0.5f;
  float x1 = std::ceil(piece.right - 0.5f) - 0.5f, y1 = std::ceil(piece.bottom - 0.5f) - 0.5f;
  if (x0 > x1 || y0 > y1)
    return false;
  // The texels that filtering at those centres reads: the two around each
  // sample point, counted from the glyph's page rectangle.
  float du = (piece.u2 - piece.u1) / (piece.right - piece.left);
  float dv = (piece.v2 - piece.v1) / (piece.bottom - piece.top);
  auto column = [&](float x) { return std::floor(piece.u1 + (x - piece.left) * du - quad.u1 - 0.5f); };
  auto row = [&](float y) { return std::floor(piece.v1 + (y - piece.top) * dv - quad.v1 - 0.5f); };
  int col0 = static_cast<int>(column(x0)), col1 = static_cast<int>(column(x1)) + 1;
  int row0 = static_cast<int>(row(y0)), row1 = static_cast<int>(row(y1)) + 1;
  for (int r = std::max(row0, 0); r <= row1 && r < static_cast<int>(ink.size()); r++) {
    const InkSpan& span = ink[static_cast<std::size_t>(r)];
    if (span.first <= span.last && span.first <= col1 && span.last >= col0)
      return true;
  }
  return false;
}

GlyphCache::GlyphCache() : p_font(nullptr), size(0), bold(false), glyphs(), glyph_reach() {}

void GlyphCache::reset(const sf::Font* p_new_font, unsigned int new_size, bool new_bold) {
  p_font = p_new_font;
  size = new_size;
  bold = new_bold;
  glyph_reach = sf::FloatRect();
  glyphs.fill(Glyph());
  if (!p_font)
    return;
  // Asking for the page first puts its white block before any glyph. Every
  // glyph is made now, so the reach holds for whatever byte comes, and their
  // ink is read from one copy of the page.
  p_font->getTexture(size);
  std::locale locale;
  const float far = std::numeric_limits<float>::max();
  float left = far, top = far, right = -far, bottom = -far;
  for (int byte = 0; byte < 256; byte++) {
    // The same conversion a one-letter text gets, so the same code point.
    char text[2] = {static_cast<char>(byte), '\0'};
    sf::String str(text, locale);
    if (str.isEmpty())
      continue;
    const Glyph& glyph = glyphs[static_cast<std::size_t>(byte)] = make(str[0]);
    if (glyph.drawn) {
      left = std::min(left, glyph.quad.left), top = std::min(top, glyph.quad.top);
      right = std::max(right, glyph.quad.right), bottom = std::max(bottom, glyph.quad.bottom);
    }
  }
  if (left <= right)
    glyph_reach = sf::FloatRect(left, top, right - left, bottom - top);
  sf::Image page = p_font->getTexture(size).copyToImage();
  for (Glyph& glyph : glyphs)
    measureInk(glyph, page);
}

GlyphCache::Glyph GlyphCache::make(sf::Uint32 code) const {
  Glyph made{};
  // White space moves the pen but makes no quad.
  if (code == L' ' || code == L'\t' || code == L'\n' || code == L'\r')
    return made;
  const sf::Glyph& glyph = p_font->getGlyph(code, size, bold);
  // One pixel of padding around the glyph, as the page leaves around each.
  const float padding = 1.0f;
  float baseline = static_cast<float>(size);
  made.quad = Quad{glyph.bounds.left - padding,
                   baseline + glyph.bounds.top - padding,
                   glyph.bounds.left + glyph.bounds.width + padding,
                   baseline + glyph.bounds.top + glyph.bounds.height + padding,
                   static_cast<float>(glyph.textureRect.left) - padding,
                   static_cast<float>(glyph.textureRect.top) - padding,
                   static_cast<float>(glyph.textureRect.left + glyph.textureRect.width) + padding,
                   static_cast<float>(glyph.textureRect.top + glyph.textureRect.height) + padding};
  made.drawn = true;
  return made;
}

void GlyphCache::measureInk(Glyph& glyph, const sf::Image& page) {
  if (!glyph.drawn)
    return;
  const Quad& q = glyph.quad;
  int left = static_cast<int>(q.u1), top = static_cast<int>(q.v1);
  int width = static_cast<int>(q.u2 - q.u1), height = static_cast<int>(q.v2 - q.v1);
  sf::Vector2u page_size = page.getSize();
  glyph.ink.assign(static_cast<std::size_t>(std::max(height, 0)), InkSpan{static_cast<short>(width), -1});
  for (int row = 0; row < height; row++)
    for (int col = 0; col < width; col++) {
      int x = left + col, y = top + row;
      if (x < 0 || y < 0 || x >= static_cast<int>(page_size.x) || y >= static_cast<int>(page_size.y) ||
          page.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)).a == 0)
        continue;
      InkSpan& span = glyph.ink[static_cast<std::size_t>(row)];
      span.first = std::min(span.first, static_cast<short>(col));
      span.last = std::max(span.last, static_cast<short>(col));
    }
}

const sf::Texture* GlyphCache::getPage() const { return p_font ? &p_font->getTexture(size) : nullptr; }

} // namespace zv
