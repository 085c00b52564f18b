// What a frame drew, for benches and tests that count the renderer's work.
#ifndef ZV_DRAW_COUNTS_H
#define ZV_DRAW_COUNTS_H

namespace zv {

// Its quads (glyph pieces and erases; an erase skipped is not drawn, so not
// counted), and how many of them were erases. Shapes' triangles are not quads.
struct DrawCounts {
  int quads = 0;
  int backgrounds = 0;
};

} // namespace zv

#endif
