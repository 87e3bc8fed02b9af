// The terminal control: a windowed control around one "awTerminal" window,
// bound to a serial port, an emulator and optionally a keyboard emulator.
// It drives its window only through the window's private messages and turns
// the window's reports into events.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "comm/port/com_port.h"
#include "comm/terminal/emulators.h"
#include "comm/terminal/window_win.h"
#include "framework/controls.h"

namespace comm {

enum TCaptureMode { cmOff, cmOn, cmAppend };
enum TAutoScroll { asNone, asHorizontal, asVertical, asBoth };
enum TIntegralSize { isNone, isWidth, isHeight, isBoth };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

using TTerminalStatusEvent = std::function<void(fw::TComponent* CP, std::uint8_t Row, std::uint8_t Col,
                                                std::uint16_t BufRow, std::uint16_t BufCol)>;
using TTerminalErrorEvent = std::function<void(fw::TComponent* CP, std::uint16_t ErrorCode)>;
using TTerminalCursorPosReportEvent = std::function<void(fw::TComponent* CP, int XPos, int YPos)>;

inline constexpr char kDefaultCaptureFile[] = "APD.CAP";
inline constexpr std::size_t kCaptureFileNameLimit = 255;

class TApdCustomTerminal : public fw::TWinControl {
 public:
  explicit TApdCustomTerminal(fw::TComponent* owner);
  ~TApdCustomTerminal() override;

  std::string CvlVersion() const { return kCvlVersion; }

  TApdComPort* ComPort() const { return comPort_; }
  // The port together with the component that holds it on a form (or null
  // for a port that belongs to no form).
  void SetComPort(TApdComPort* port, fw::TComponent* holder = nullptr);
  bool Active() const { return active_; }
  void SetActive(bool active);
  bool ActivationPending() const { return pending_; }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle style);
  TAutoScroll AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(TAutoScroll value);
  TIntegralSize IntegralSize() const { return integralSize_; }
  void SetIntegralSize(TIntegralSize value);
  bool Scrollback() const { return scrollback_; }
  void SetScrollback(bool on);
  TApdCustomEmulator* Emulator() const { return emulator_; }
  void SetEmulator(TApdCustomEmulator* emulator);
  TApdCustomKeyboardEmulator* KeyBoardEmu() const { return keyboard_; }
  void SetKeyBoardEmu(TApdCustomKeyboardEmulator* keyboard);
  std::uint16_t Rows() const { return rows_; }
  void SetRows(std::uint16_t rows);
  std::uint16_t Columns() const { return columns_; }
  void SetColumns(std::uint16_t columns);
  std::uint16_t PageHeight() const { return pageHeight_; }
  void SetPageHeight(std::uint16_t height);
  std::uint16_t DisplayRows();
  void SetDisplayRows(std::uint16_t rows);
  std::uint16_t DisplayColumns();
  void SetDisplayColumns(std::uint16_t columns);
  const std::string& CaptureFile() const { return captureFile_; }
  void SetCaptureFile(const std::string& name);
  TCaptureMode Capture() const { return capture_; }
  void SetCapture(TCaptureMode mode);
  bool WantTabs();
  void SetWantTabs(bool on);
  std::uint16_t BlinkTime() const { return blinkTime_; }
  void SetBlinkTime(std::uint16_t ms);
  bool PersistentMark() const { return persistentMark_; }
  void SetPersistentMark(bool on);
  bool HalfDuplex() const { return halfDuplex_; }
  void SetHalfDuplex(bool on);

  // The screen's character, colour and attribute planes as the window gave
  // them after the last change of dimensions, display size or colours, or
  // the window's re-creation (the planes move only then); empty while there
  // is no window.
  TerminalPlanes Planes() const { return windowCreated_ ? planes_ : TerminalPlanes{}; }

  TTerminalStatusEvent OnTerminalStatus;
  TTerminalErrorEvent OnTerminalError;
  TTerminalCursorPosReportEvent OnCursorPosReport;

  void ClearPage();
  void ClearAll();
  void WriteString(const std::string& text);
  virtual void StartTerminal();
  virtual void StopTerminal();

  void SetBounds(int left, int top, int width, int height) override;
  void WndProc(fw::TMessage& message) override;
  void Loaded() override;

 protected:
  virtual void TerminalStatus(std::uint8_t row, std::uint8_t column, std::uint16_t bufferRow,
                              std::uint16_t bufferColumn);
  virtual void TerminalError(std::uint16_t code);
  virtual void CursorPosReport(int x, int y);

  void CreateParams(fw::TCreateParams& params) override;
  void CreateWnd() override;
  void Notification(fw::TComponent* component, fw::TOperation operation) override;
  void FontChanged() override;
  void ColorChanged() override;

 private:
  LRESULT Perform(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  bool Designing() const { return (ComponentState() & fw::csDesigning) != 0; }
  int StartCode();
  int StopCode();
  void Recreate();
  // Gives a new window the state saved from the old one; a capture that
  // cannot be reopened is reported (raised when `raise`, else returned).
  int RestoreSaved(bool raise = true);
  void RefreshPlanes();
  void SendFont();
  void SyncColours();
  void BindEmulator(TApdCustomEmulator* emulator);
  void BindKeyboard(TApdCustomKeyboardEmulator* keyboard);
  void SendCaptureMode();
  int Check(int code) const;

  bool windowCreated_ = false, pending_ = false, sizing_ = false, recreating_ = false;
  bool scrollbackWidth_ = false;
  int savedWidth_ = 0;
  LRESULT savedState_ = 0;
  TApdComPort* comPort_ = nullptr;
  fw::TComponent* portHolder_ = nullptr;
  TScrollStyle scrollBars_ = ssNone;
  TAutoScroll autoScroll_ = asNone;
  TIntegralSize integralSize_ = isBoth;
  bool scrollback_ = false;
  bool active_ = true;
  TApdCustomEmulator* emulator_ = nullptr;
  TApdCustomKeyboardEmulator* keyboard_ = nullptr;
  std::uint16_t rows_ = 200, columns_ = 80, pageHeight_ = 25;
  std::uint16_t displayRows_ = 15, displayColumns_ = 40;
  std::string captureFile_ = kDefaultCaptureFile;
  TCaptureMode capture_ = cmOff;
  std::uint16_t blinkTime_ = 550;
  bool persistentMark_ = true, halfDuplex_ = false;
  bool fontFallbackTried_ = false;
  std::array<std::uint32_t, 16> palette_{};
  TerminalPlanes planes_{};
};

class TApdTerminal : public TApdCustomTerminal {
 public:
  using TApdCustomTerminal::TApdCustomTerminal;
};

}  // namespace comm
