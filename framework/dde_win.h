// A DDE client conversation: open a link to a service and topic, request an
// item as text, execute a command string, close. Used on the GUI thread only.
// It speaks the DDE messages itself and matches every reply to what it asked
// for: Wine's DDE management library, as a client, lost every second
// synchronous transaction and handed its reply to the next one.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace fw {

enum class TDataMode { ddeAutomatic, ddeManual };

class TDdeClientConv {
 public:
  TDdeClientConv();
  ~TDdeClientConv();
  TDdeClientConv(const TDdeClientConv&) = delete;
  TDdeClientConv& operator=(const TDdeClientConv&) = delete;

  // Service and topic take effect at the next OpenLink.
  std::string DdeService = "PROGMAN";
  std::string DdeTopic = "PROGMAN";
  TDataMode ConnectMode = TDataMode::ddeAutomatic;

  // False when no server answers the service and topic.
  bool OpenLink();
  void CloseLink();
  bool Connected() const { return server_ != nullptr; }

  // The item's text (up to its first NUL), or nothing when the server gives
  // no data within the time-out.
  std::optional<std::string> RequestData(const std::string& item, DWORD timeoutMs = 5000);
  // True when the server accepted the command within the time-out.
  bool ExecuteMacro(const std::string& command, DWORD timeoutMs = 5000);

 private:
  // Serves messages until a data or acknowledge message from the server
  // matches, and returns it; 0 when the time is up or the server ended.
  UINT WaitFor(const std::function<bool(UINT, LPARAM)>& matches, DWORD timeoutMs, LPARAM& got);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  HWND server_ = nullptr;
  bool initiating_ = false;
  // The last command's memory, kept until the next command has its own, so
  // that a stray second answer to it cannot pass for the next one's.
  HGLOBAL lastCommand_ = nullptr;
};

}  // namespace fw
