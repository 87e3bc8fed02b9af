// The model behind one terminal window: a grid of character cells larger than
// the page (the rows above the page are the scroll-back), cursor, colours,
// attributes, tab stops, scroll region, the view origin and the capture file.
// It executes one TEmuCommand per received character and reaches the window,
// the port and the capture file only through the sinks it is handed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "comm/terminal/buffer_sinks.h"
#include "comm/terminal/capture_buffer.h"
#include "comm/terminal/emu_command.h"

namespace comm {

constexpr int maxColumns = 133;
constexpr int maxCells = 65535;
constexpr int tabStopSlots = 25;
constexpr int verticalTabStopSlots = 12;

// Produces the command for one received character (the emulator).
using EmulatorCallback = void (*)(void* data, std::uint8_t ch, TEmuCommand& command);

// What a recreated window takes over from the old one. Capture keeps only its
// name and mode (and any bytes a failed write left): the new buffer reopens
// the file itself.
struct BufferSnapshot;

}  // namespace comm

class TBuffer {
 public:
  // Raises fw::Exception("Buffer allocation failed") when the grid cannot be made.
  TBuffer(comm::ViewSink* view, int rows, int columns, comm::CaptureWriter* captureWriter = nullptr);
  ~TBuffer();
  TBuffer(const TBuffer&) = delete;
  TBuffer& operator=(const TBuffer&) = delete;

  void SetPort(comm::PortSink* port) { port_ = port; }
  void SetEmulator(void* data, comm::EmulatorCallback callback);

  // 0, or -1002 when a limit is broken (nothing changes then). The content is lost.
  int SetDimensions(int rows, int columns, int pageHeight);
  void SetColors(int fore, int back);
  void SetMarkColors(int text, int back);
  void SetCharSize(int height, int width);
  void SetClientSize(int width, int height);
  void SetCaretOn(bool on) { caretOn_ = on; }
  void SetScrollbackMode(bool on) { scrollback_ = on; }
  void SetBlinkOff(bool off) { blinkOff_ = off; }
  // Colours are 0x00BBGGRR.
  void SetPaletteEntry(int index, std::uint32_t rgb) { palette_[index & 15] = rgb; }
  // Switches every blinking cell of the visible rows to the other phase and
  // invalidates them; true when any cell blinked.
  bool BlinkStep();

  void HandleChar(std::uint8_t ch);
  void WriteChar(std::uint8_t ch);
  void ClearPage();
  void ClearAll();

  int ControlCapture(bool open, bool append, std::string_view name);
  void CaptureChar(std::uint8_t ch) { capture_.Put(ch); }

  void ApplyRepaint();
  void ScrollView(int columns, int rows);
  void ViewHome(bool vertical);
  void ViewEnd(bool vertical);
  void PlaceCaret();

  // Window recreation: the saving closes the live capture file.
  comm::BufferSnapshot SaveState();
  int RestoreState(const comm::BufferSnapshot& saved);

  int Rows() const { return rows_; }
  int Columns() const { return columns_; }
  int PageHeight() const { return pageHeight_; }
  int CursorColumn() const { return column_; }
  int CursorRow() const { return row_; }
  int HighestRow() const { return highestRow_; }
  int ViewLeft() const { return viewLeft_; }
  int ViewTop() const { return viewTop_; }
  int RegionTop() const { return regionTop_; }
  int RegionBottom() const { return regionBottom_; }
  int VisibleRows() const { return visibleRows_; }
  int VisibleColumns() const { return visibleColumns_; }
  bool BlinkOff() const { return blinkOff_; }
  int DrawnFore() const { return fore_; }
  int DrawnBack() const { return back_; }
  std::uint8_t CharAt(int row, int column) const { return chars_[Cell(row, column)]; }
  std::uint8_t ColourAt(int row, int column) const { return colours_[Cell(row, column)]; }
  std::uint8_t WrittenColourAt(int row, int column) const { return written_[Cell(row, column)]; }
  std::uint8_t AttrAt(int row, int column) const { return attrs_[Cell(row, column)]; }
  std::string RowText(int row) const;
  std::vector<int> TabStops() const;
  std::vector<int> VerticalTabStops() const;
  std::uint32_t Palette(int index) const { return palette_[index & 15]; }
  int MarkBack() const { return markBack_; }
  int MarkText() const { return markText_; }
  bool Capturing() const { return capture_.On(); }
  const std::string& CaptureName() const { return capture_.Name(); }
  std::size_t CaptureHeld() const { return capture_.Held(); }
  const TEmuCommand& Command() const { return command_; }

 private:
  friend struct comm::BufferSnapshot;

  // Rows are reordered through a row map, so scrolling moves indexes instead
  // of whole planes; the cells of one row stay contiguous in every plane.
  int Cell(int row, int column) const { return rowMap_[row] * columns_ + column; }
  // A cell's place in grid order (row by row, as the rows are shown).
  int Linear(int row, int column) const { return row * columns_ + column; }
  std::uint8_t DrawnColour() const { return static_cast<std::uint8_t>(back_ << 4 | fore_); }
  void Execute();
  void ComputeInRegion();
  void ComputeVisible();
  void ClampCursor();
  int LastVisibleRow() const;
  void LineFeed();
  void AdvanceRow();
  void ScrollRowsUp(int first, int last);
  void ShiftRowsDown(int first, int last);
  void RotateRowDown(int first, int last);
  void BlankRow(int row, std::uint8_t colour, std::uint8_t attrs);
  void Erase(int from, int count);
  void EraseSpan(int row, int column, int count);
  void EraseWithRule(int from, int count);
  void InsertBlanks(int count);
  void InvalidateCells(int row, int firstColumn, int lastColumn);
  void InvalidateRows(int firstRow, int lastRow);
  void ScrollPending(int rows);
  void Send(const std::string& answer);
  void PostStatus();
  void ResetTabStops(int upTo);
  static void InsertStop(std::uint16_t* stops, int slots, int value);
  static void RemoveStop(std::uint16_t* stops, int slots, int value);
  int VerticalStopRow() const;
  void TabForward(int count);
  void BackTab(int count);
  void TabJustify();
  void VerticalTab(int count);
  void CursorUp(int n);
  void CursorDown(int n);
  void EraseInPage(int extent);
  void EraseInLine(int extent);
  void DeleteChars(int n);
  void InsertLines(int n);
  void DeleteLines(int n);
  void RestoreCursor();
  void SetScrollRegion(int top, int bottom);

  comm::ViewSink* view_;
  comm::PortSink* port_ = nullptr;
  void* emulatorData_ = nullptr;
  comm::EmulatorCallback emulator_ = nullptr;

  std::vector<std::uint8_t> chars_, colours_, written_, attrs_;
  std::vector<std::uint16_t> rowMap_;
  std::array<std::uint16_t, comm::tabStopSlots> tabs_{};
  std::array<std::uint16_t, comm::verticalTabStopSlots> verticalTabs_{};
  int rows_ = 0, columns_ = 0, pageHeight_ = 0;
  int charHeight_ = 0, charWidth_ = 0;
  bool scrollback_ = false;
  int column_ = 0, row_ = 0, highestRow_ = 0;
  int viewLeft_ = 0, viewTop_ = 0;
  bool inRegion_ = true;
  int fore_ = 7, back_ = 0, logicalFore_ = 7, logicalBack_ = 0;
  std::array<std::uint32_t, 16> palette_{};
  std::uint8_t attributes_ = 0;
  bool blinkOff_ = false;
  int visibleRows_ = 0, visibleColumns_ = 0, clientWidth_ = 0, clientHeight_ = 0;
  int regionTop_ = 1, regionBottom_ = 1;
  TEmuCommand command_{};
  struct SavedCursor {
    int column = 0, row = 0;
    bool saved = false;
    std::uint8_t colour = 0x07, attrs = 0;
  } savedCursor_;
  int pendingVertical_ = 0, pendingHorizontal_ = 0;
  comm::PixelRect pending_;
  bool repaintAll_ = false;
  bool caretOn_ = false;
  int markBack_ = 7, markText_ = 0;
  comm::CaptureBuffer capture_;
};

namespace comm {

struct BufferSnapshot {
  std::vector<std::uint8_t> chars, colours, written, attrs;
  std::array<std::uint16_t, tabStopSlots> tabs{};
  std::array<std::uint16_t, verticalTabStopSlots> verticalTabs{};
  int rows = 0, columns = 0, pageHeight = 0, column = 0, row = 0, highestRow = 0;
  int viewLeft = 0, viewTop = 0, regionTop = 1, regionBottom = 1;
  int fore = 7, back = 0, logicalFore = 7, logicalBack = 0;
  std::uint8_t attributes = 0;
  std::array<std::uint32_t, 16> palette{};
  TEmuCommand command{};
  std::string captureName;
  bool captureOn = false;
  std::vector<std::uint8_t> captureHeld;
};

}  // namespace comm
