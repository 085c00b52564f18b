// An object anchored to the screen instead of the world: a label with an
// optional value, optionally framed, at one of nine screen locations. Its
// position is a view position, so it stays put while the view moves.
#ifndef ZV_VIEW_OBJECT_H
#define ZV_VIEW_OBJECT_H

#include <string>

#include <zelvra/core/Color.h>
#include <zelvra/world/Object.h>

namespace zv {

enum ViewLocation : int {
  LOCATION_NONE = -1,
  TOP_LEFT = 0,
  TOP_CENTER,
  TOP_RIGHT,
  CENTER_LEFT,
  CENTER_CENTER,
  CENTER_RIGHT,
  BOTTOM_LEFT,
  BOTTOM_CENTER,
  BOTTOM_RIGHT,
};

enum ViewObjectAttribute : int {
  VIEW_STRING = 0,
  VALUE,
  BORDER,
  COLOR,
  LOCATION,
  DRAW_VALUE,
};
const int VIEW_ATTRIBUTE_COUNT = 6;

class ViewObject : public Object {
 private:
  std::string view_string;
  int value;
  bool draw_value;
  bool border;
  Color color;
  ViewLocation location;
  bool view_modified[VIEW_ATTRIBUTE_COUNT];

 public:
  ViewObject();
  ~ViewObject() override;

  void setViewString(std::string new_view_string);
  std::string getViewString() const;
  void setValue(int new_value);
  int getValue() const;
  // Re-applies the location (unless placed by position) so the frame fits.
  void setBorder(bool new_border);
  bool getBorder() const;
  void setColor(Color new_color);
  Color getColor() const;
  void setDrawValue(bool new_draw_value = true);
  bool getDrawValue() const;
  // 0, or -1 (logged) for a value outside the nine locations.
  int setLocation(ViewLocation new_location);
  ViewLocation getLocation() const;

  // Moving by position forgets the named location.
  int setPosition(Vector new_position) override;
  // Takes "zv-view" events whose tag is this object's label.
  int eventHandler(const Event* p_e) override;
  // Sum of the drawing calls' results: 0 when everything was drawn.
  int draw() override;
  // Drawn wherever the view is: its position is a view position.
  bool isViewObject() const override;

  // The object's pairs, then the view attributes selected the same way:
  // "ALL", "" for the changed ones, or selectors such as "VALUE,".
  std::string serialize(std::string attributes = "") override;
  // The object's deserialization first; its result is the result.
  int deserialize(std::string text) override;

  using Object::isModified;
  bool isModified() const override;
  virtual bool isModified(ViewObjectAttribute attribute) const;
};

} // namespace zv

#endif
