// A container whose children may reach beyond it, shown through scroll bars.
#pragma once

#include <windows.h>

#include "framework/controls.h"

namespace fw {

class TScrollBox;

// One of a scroll box's bars. Range is the extent of what the box shows; the
// bar appears while the box is smaller than that, and Position is how far the
// children are moved back from where they were placed.
class TControlScrollBar {
 public:
  int Range() const { return range_; }
  void SetRange(int range);
  int Position() const { return position_; }
  // Clamped to 0 .. Range less the box's client extent.
  void SetPosition(int position);
  // A tracking bar scrolls while its thumb is dragged, not only when dropped.
  bool Tracking() const { return tracking_; }
  void SetTracking(bool value) { tracking_ = value; }
  // The step of the bar's arrows.
  int Increment = 8;
  bool IsScrollBarVisible() const;

 private:
  friend class TScrollBox;
  TControlScrollBar(TScrollBox& box, int bar) : box_(box), bar_(bar) {}
  int ClientExtent() const;
  int Limit() const;
  // Clamps the position and moves the children by the change; true if it
  // changed.
  bool MoveTo(int position);
  void Update();
  void Scroll(WORD request);

  TScrollBox& box_;
  int bar_;
  int range_ = 0, position_ = 0;
  bool tracking_ = false;
};

class TScrollBox : public TWinControl {
 public:
  explicit TScrollBox(TComponent* owner);
  std::string ClassName() const override { return "TScrollBox"; }
  TControlScrollBar& HorzScrollBar() { return horz_; }
  TControlScrollBar& VertScrollBar() { return vert_; }
  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  // Keeps the positions within the new size, then raises OnResize.
  void Resize() override;

 private:
  friend class TControlScrollBar;
  // Moves every child by (dx, dy).
  void MoveChildren(int dx, int dy);

  TControlScrollBar horz_{*this, SB_HORZ}, vert_{*this, SB_VERT};
};

}  // namespace fw
