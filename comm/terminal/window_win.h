// The terminal window class "awTerminal": shows a screen buffer, pulls the
// bytes a port's dispatcher announces, sends typed keys to the port, lets the
// user mark and copy text and look back through the scroll-back. It is driven
// entirely by messages; its owner receives its reports (status, errors,
// cursor reports) by subclassing it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "comm/dispatcher/messages.h"
#include "comm/keyboard/key_map.h"

namespace comm {

inline constexpr char kTerminalClassName[] = "awTerminal";

inline constexpr UINT PN_AVAIL = kAvailMessage;
inline constexpr UINT TM_START = 0x7E3C, TM_STOP = 0x7E3D, TM_ATTACH = 0x7E3E, TM_DETACH = 0x7E3F,
                      TM_SETEMUDATA = 0x7E40, TM_SETEMUPROC = 0x7E41, TM_CLEAR = 0x7E42,
                      TM_SETDIMENSIONS = 0x7E43, TM_SETCOLORS = 0x7E44, TM_TOGGLESCROLLBACK = 0x7E45,
                      TM_CAPTURE = 0x7E46, TM_WRITESTRING = 0x7E47, TM_FLUSH = 0x7E48, TM_SETDEFPROC = 0x7E49,
                      TM_SETMARKCOLORS = 0x7E4A, TM_SAVERESTORE = 0x7E4B, TM_PALETTE = 0x7E4C,
                      TM_SETDISPLAYSIZE = 0x7E4D, TM_GETCHARSIZE = 0x7E4E, TM_STATUS = 0x7E50,
                      TM_ERROR = 0x7E52, TM_CURSORREPORT = 0x7E53, TM_SETBLINKTIME = 0x7E82,
                      TM_SETPERSISTENTMARK = 0x7E83, TM_SETKEYDATA = 0x7E84, TM_SETKEYPROC = 0x7E85,
                      TM_SETHALFDUPLEX = 0x7E86, TM_GETPLANES = 0x7E87, TM_GETTOP = 0x7E88;

// Low bits of the window style that the class reads.
inline constexpr DWORD kTerminalWantsTabs = 0x0001, kTerminalIntegralHeight = 0x0002,
                       kTerminalIntegralWidth = 0x0004, kTerminalScrollsHorizontally = 0x0008,
                       kTerminalScrollsVertically = 0x0010;

inline constexpr UINT_PTR kMarkTimer = 1, kBlinkTimer = 2;
inline constexpr UINT kMarkTimerMs = 50, kDefaultBlinkMs = 550;
// A clipboard that cannot be had is reported with this code (-8 as 16 bits).
inline constexpr WPARAM kClipboardFailure = 65528;

// The port as the window sees it: bytes to take, bytes to send, and being
// told when bytes arrive.
class TerminalLink {
 public:
  virtual ~TerminalLink() = default;
  virtual bool HasReceived() = 0;
  virtual int FetchChar(std::uint8_t& c) = 0;
  virtual int SendBlock(const std::uint8_t* bytes, std::size_t count) = 0;
  virtual int RegisterWindow(HWND window) = 0;
  virtual int UnregisterWindow(HWND window) = 0;
  virtual int SetLengthTrigger(std::uint32_t length) = 0;
};

// Finds the link for a dispatcher handle (TM_ATTACH); null when the handle
// names no dispatcher. The default (also restored by an empty finder) looks
// in the program's dispatcher list.
using TerminalLinkFinder = std::function<std::unique_ptr<TerminalLink>(int handle)>;
void SetTerminalLinkFinder(TerminalLinkFinder finder);

// The keyboard emulator's routine (TM_SETKEYPROC).
using KeyRoutine = void (*)(void* data, std::uint16_t key, TKeyEmuRecord& record);

// Registers the class once per process; false when the system refused.
bool RegisterTerminalClass();

}  // namespace comm
