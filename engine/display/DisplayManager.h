// The game window and the only place where characters reach the screen.
// The window is a grid of character cells; positions are world positions
// in cells, turned into view positions and then pixels.
//
// Characters are not drawn one by one: each call queues the cell's
// background and glyph, and the whole queue reaches the window in one draw
// when the frame is presented, or earlier when getRenderWindow() is called.
// A cell wholly outside the window is not queued at all, and backgrounds
// over pixels nothing has touched since the frame's clear are left out
// (they would paint the clear colour again). Whatever you draw on the
// window yourself, draw it through getRenderWindow() right then: that
// keeps it in call order with the cells and tells the batch the window
// holds more than it knows of.
#ifndef ZV_DISPLAY_MANAGER_H
#define ZV_DISPLAY_MANAGER_H

#include <string>

#include <SFML/Graphics.hpp>

#include <zelvra/core/Color.h>
#include <zelvra/core/Manager.h>
#include <zelvra/core/Vector.h>
#include <zelvra/display/DrawCounts.h>

namespace zv {

enum Alignment : int {
  ALIGN_LEFT = 0,
  ALIGN_CENTER,
  ALIGN_RIGHT,
};

// Size of one cell in pixels, from the DisplayManager's four size fields.
float cellWidth();
float cellHeight();
// Cells (spaces) to pixels and back; fractions kept.
Vector spacesToPixels(Vector spaces);
Vector pixelsToSpaces(Vector pixels);
// Where a cell's background sits relative to its character's pixel
// position: a tenth of a cell to the left and a fifth of a cell down.
sf::Vector2f backgroundOffset();

class DisplayManager : public Manager {
 private:
  sf::Font font;
  sf::RenderWindow* p_window;
  int window_horizontal_pixels;
  int window_vertical_pixels;
  int window_horizontal_chars;
  int window_vertical_chars;
  sf::Color window_background_color;
  // The queued cells and the glyphs they use: output on its way to the
  // window, which the const drawing calls add to. Defined in the source, so
  // that a game's build never sees the renderer.
  struct Drawing;
  Drawing& drawing;
  // The window view the visible rectangle was worked out for.
  mutable sf::Vector2f seen_center, seen_size;
  mutable float seen_rotation;
  // The box, relative to a character's pixel position, that its background
  // and glyph stay within: a cell that cannot reach the view is skipped
  // before anything is looked up.
  sf::FloatRect cell_reach;

  DisplayManager();
  DisplayManager(const DisplayManager&) = delete;
  void operator=(const DisplayManager&) = delete;
  // Closes and frees the window; drops the glyphs and the queued cells.
  void release();
  // Draws two throwaway frames so the renderer is ready for the first real one.
  void warmUp();
  // Keeps the culling rectangle on what the window's view shows.
  void followView() const;
  // Draws the queued cells into the window.
  void flushCells() const;
  // That box, from the glyphs made and the background offset.
  sf::FloatRect measureReach() const;

 public:
  static DisplayManager& getInstance();
  ~DisplayManager() override;

  int startUp() override;
  void shutDown() override;

  int drawCharacter(Vector world_pos, char ch, Color color) const;
  int drawCharacter(Vector world_pos, char ch, unsigned char r, unsigned char g, unsigned char b) const;
  int drawText(Vector world_pos, std::string str, Alignment align, Color color) const;
  // True only when a window is up and everything drawn from the cell at
  // top_left to the cell at bottom_right (world cells) would miss the view,
  // so callers can skip what would not show.
  bool areaUnseen(Vector top_left, Vector bottom_right) const;
  // Queues a filled shape (its fill only) with the cells, in call order.
  int drawShape(const sf::Shape& shape) const;
  // Shows what was drawn and clears the back buffer for the next frame.
  int presentFrame();
  // What the last presented frame drew: its quads and how many of them were
  // cell backgrounds (see DrawCounts). Zero counts without a window.
  DrawCounts getDrawCounts() const;

  int getHorizontalChars() const;
  int getVerticalChars() const;
  int getHorizontalPixels() const;
  int getVerticalPixels() const;
  // The window, null where there is none. Anything drawn on it lands over
  // the characters drawn before this call and under those drawn after: the
  // queued cells are drawn first. So call it again right before each time
  // you draw on the window or change its view; a pointer kept from earlier
  // draws under cells queued since.
  sf::RenderWindow* getRenderWindow() const;
  // The window for its events and settings. It cannot be drawn on, so
  // unlike getRenderWindow() it leaves the queued cells queued.
  sf::Window* getWindow() const;
  // Whether there is a window to draw into; unlike getRenderWindow() it
  // draws nothing.
  bool hasWindow() const;
};

} // namespace zv

#endif
