// Controls: every control is a window. TControl holds what all share
// (bounds, parent, alignment, text, colour, font, cursor, hint, mouse events,
// the window procedure); TWinControl can hold child controls and take the
// focus; TGraphicControl is a small window that paints itself and never takes
// the focus.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/component.h"
#include "framework/graphics.h"

namespace fw {

struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result = 0;
};

// What CreateWnd passes to CreateWindowExA. OwnClass: the window is of our
// own registered class (whose default procedure is DefWindowProcA); otherwise
// ClassName names a system class and our procedure is put in front of it.
struct TCreateParams {
  std::string ClassName;
  bool OwnClass = true;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  std::string Caption;
};

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

using TCursor = int;
constexpr TCursor crDefault = 0, crArrow = -2, crCross = -3, crIBeam = -4, crSizeAll = -22, crHourGlass = -11,
                  crNo = -18, crHandPoint = -21;
HCURSOR CursorHandle(TCursor cursor);

enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssDouble = 32 };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TMouseEvent =
    std::function<void(TComponent* sender, TMouseButton button, unsigned shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent* sender, unsigned shift, int x, int y)>;
using TKeyEvent = std::function<void(TComponent* sender, WORD& key, unsigned shift)>;
using TKeyPressEvent = std::function<void(TComponent* sender, char& key)>;

unsigned KeyboardShiftState();

class TWinControl;
class TForm;

// The window procedure of every control window.
LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers a window class of our own (once per name) whose windows are
// controls: a control names it in CreateParams with OwnClass true, and its
// messages reach WndProc, then DefWindowProcA.
void RegisterControlClass(const std::string& name, UINT classStyle);

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  // The control a window belongs to (walking up to a window of ours), or null.
  static TControl* FromHandle(HWND window);

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  // The form this control sits on (itself for a form), or null.
  TForm* ParentForm() const;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
  virtual int ClientWidth() const;
  virtual int ClientHeight() const;

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);

  // Caption and Text are one property, as for the windows underneath.
  virtual std::string Text() const;
  virtual void SetText(const std::string& text);
  std::string Caption() const { return Text(); }
  void SetCaption(const std::string& caption) { SetText(caption); }

  // Caption (or Text) and Hint, as the class publishes them.
  void StringProperties(std::vector<TStringProperty>& properties) override;
  // The name the class publishes its text under: "Caption", "Text", or ""
  // when the text is not a property of its own (memos and lists).
  virtual const char* TextPropertyName() const { return "Caption"; }

  TColor Color() const;
  void SetColor(TColor color);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);
  TFont& Font() { return font_; }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor) { cursor_ = cursor; }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  bool ShowHint() const { return showHint_; }
  virtual void SetShowHint(bool value);

  // The window, created on demand (its parent's first).
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { Handle(); }
  void RecreateWnd();
  void Invalidate();
  void Repaint();
  void BringToFront();

  virtual void Click();
  virtual void DblClick();

  TNotifyEvent OnClick, OnDblClick;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  // The window procedure of this instance: replace it to see every message
  // first; messages it leaves go on to WndProc by calling the saved value.
  std::function<void(TMessage&)> WindowProc;
  virtual void WndProc(TMessage& message);
  // The class's own procedure (the system control's, or DefWindowProcA).
  void DefaultHandler(TMessage& message);

  // Sent by the parent for notifications the window sends its parent.
  virtual bool Command(WORD /*code*/) { return false; }
  // The same with the item id the notification names, for windows that hold
  // items of their own (a tool bar's buttons).
  virtual bool ItemCommand(WORD /*id*/, WORD code) { return Command(code); }
  virtual bool Notify(NMHDR* /*header*/, LRESULT& /*result*/) { return false; }
  // Colours of a system control: returns the brush, or null for the default.
  virtual HBRUSH CtlColor(HDC dc);

 protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void DestroyWnd();
  // After the window exists: push the state kept while it did not.
  virtual void HandleCreated();
  // Before the window goes: keep what only the window holds.
  virtual void HandleDestroying();
  virtual void Paint(TCanvas& /*canvas*/) {}
  virtual void FontChanged();
  virtual void ColorChanged();
  virtual void VisibleChanged() {}
  // Own-class windows fill their background with Color unless this is false.
  virtual bool FillsBackground() const { return true; }
  // The parent's font or colour changed: take them when following it.
  void ParentFontChanged();
  void ParentColorChanged();
  void RegisterHint();
  void Loaded() override;

  TWinControl* parent_ = nullptr;
  HWND handle_ = nullptr;
  std::string text_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;

 private:
  friend class TWinControl;
  friend LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM);
  void Attach(HWND window);
  void Detach();
  void UpdateBoundsFromWindow();
  void MouseMessage(TMessage& message);

  TAlign align_ = TAlign::alNone;
  TColor color_ = clBtnFace;
  bool parentColor_ = false;
  TFont font_;
  bool parentFont_ = true;
  bool followingParentFont_ = false;
  TCursor cursor_ = crDefault;
  std::string hint_;
  bool showHint_ = true;
  HBRUSH brush_ = nullptr;
  WNDPROC defaultProc_ = nullptr;
  bool mouseDownInside_ = false;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // Child controls in tab order.
  const std::vector<TControl*>& Controls() const { return controls_; }
  int ControlCount() const { return static_cast<int>(controls_.size()); }

  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);
  int TabOrder() const;
  void SetTabOrder(int order);
  bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();

  // Lays out the aligned children: top, bottom, left, right, then client.
  void Realign();
  int ClientWidth() const override;
  int ClientHeight() const override;

  TNotifyEvent OnEnter, OnExit, OnResize;
  TKeyEvent OnKeyDown, OnKeyUp;
  TKeyPressEvent OnKeyPress;

  void WndProc(TMessage& message) override;

  // Keys the control handles itself although the form would take them
  // (Enter in a memo, arrows in a list): true keeps them from the form.
  virtual bool WantsKey(WORD /*key*/) const { return false; }

 protected:
  void CreateWnd() override;
  void CreateParams(TCreateParams& params) override;
  void FontChanged() override;
  void ColorChanged() override;
  virtual void Resize();
  virtual void DoEnter();
  virtual void DoExit();

 private:
  friend class TControl;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);

  std::vector<TControl*> controls_;
  bool tabStop_ = false;
};

// A control without focus that paints itself on a tiny window of its own.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner) : TControl(owner) { SetParentColor(true); }

 protected:
  void CreateParams(TCreateParams& params) override;
};

}  // namespace fw
