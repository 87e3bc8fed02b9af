#include "framework/dde_win.h"

#include <dde.h>

#include <cstddef>
#include <cstring>

namespace fw {
namespace {

constexpr char kClassName[] = "TallimoDdeClient";

void RegisterWindowClass() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kClassName;
  RegisterClassA(&wc);
  registered = true;
}

// An atom of the global table, deleted when it goes out of scope.
class Atom {
 public:
  explicit Atom(const std::string& text) : atom_(GlobalAddAtomA(text.c_str())) {}
  ~Atom() {
    if (atom_) GlobalDeleteAtom(atom_);
  }
  Atom(const Atom&) = delete;
  Atom& operator=(const Atom&) = delete;
  ATOM get() const { return atom_; }

 private:
  ATOM atom_;
};

}  // namespace

TDdeClientConv::TDdeClientConv() = default;

TDdeClientConv::~TDdeClientConv() {
  CloseLink();
  if (lastCommand_) GlobalFree(lastCommand_);
  if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK TDdeClientConv::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TDdeClientConv*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == WM_DDE_ACK && self && self->initiating_) {
    // Answers to the broadcast come sent, not posted: the first server is
    // kept, any other one is told to end the conversation it began.
    const HWND server = reinterpret_cast<HWND>(wParam);
    GlobalDeleteAtom(LOWORD(lParam));
    GlobalDeleteAtom(HIWORD(lParam));
    if (!self->server_)
      self->server_ = server;
    else
      PostMessageA(server, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window), 0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool TDdeClientConv::OpenLink() {
  CloseLink();
  if (!window_) {
    RegisterWindowClass();
    window_ = CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (!window_) return false;
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TDdeClientConv::WindowProc));
  }
  Atom service(DdeService), topic(DdeTopic);
  if (!service.get() || !topic.get()) return false;
  initiating_ = true;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(window_),
                      MAKELPARAM(service.get(), topic.get()), SMTO_ABORTIFHUNG, 5000, &ignored);
  initiating_ = false;
  return server_ != nullptr;
}

void TDdeClientConv::CloseLink() {
  if (!server_) return;
  PostMessageA(server_, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window_), 0);
  server_ = nullptr;
  // The server's own terminate, or anything late, is dropped with the queue.
  MSG message;
  while (PeekMessageA(&message, window_, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE)) {
    if (message.message == WM_DDE_DATA || message.message == WM_DDE_ACK)
      FreeDDElParam(message.message, message.lParam);
  }
}

UINT TDdeClientConv::WaitFor(const std::function<bool(UINT, LPARAM)>& matches, DWORD timeoutMs, LPARAM& got) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.hwnd != window_ || message.message < WM_DDE_FIRST || message.message > WM_DDE_LAST) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
        continue;
      }
      const bool fromServer = server_ && reinterpret_cast<HWND>(message.wParam) == server_;
      if (message.message == WM_DDE_TERMINATE) {
        if (fromServer) {
          PostMessageA(server_, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window_), 0);
          server_ = nullptr;
          return 0;
        }
        continue;
      }
      if (message.message != WM_DDE_DATA && message.message != WM_DDE_ACK) continue;
      if (fromServer && matches(message.message, message.lParam)) {
        got = message.lParam;
        return message.message;
      }
      // A late answer to an earlier question: freed and dropped.
      UINT_PTR low = 0, high = 0;
      UnpackDDElParam(message.message, message.lParam, &low, &high);
      if (message.message == WM_DDE_DATA) {
        if (low) GlobalFree(reinterpret_cast<HGLOBAL>(low));
        if (high) GlobalDeleteAtom(static_cast<ATOM>(high));
      }
      FreeDDElParam(message.message, message.lParam);
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return 0;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
  }
}

std::optional<std::string> TDdeClientConv::RequestData(const std::string& item, DWORD timeoutMs) {
  if (!server_) return std::nullopt;
  const ATOM atom = GlobalAddAtomA(item.c_str());
  if (!atom) return std::nullopt;
  if (!PostMessageA(server_, WM_DDE_REQUEST, reinterpret_cast<WPARAM>(window_), MAKELPARAM(CF_TEXT, atom))) {
    GlobalDeleteAtom(atom);
    return std::nullopt;
  }
  // Both the data and a refusal name the item in their high part. A request
  // is answered by data or a refusal; a positive acknowledgement is a stray
  // one (Wine's DDE library sends them) and no answer.
  auto sameItem = [&](UINT message, LPARAM lParam) {
    UINT_PTR low = 0, high = 0;
    UnpackDDElParam(message, lParam, &low, &high);
    if (message == WM_DDE_ACK && (low & 0x8000)) return false;
    return static_cast<ATOM>(high) == atom;
  };
  LPARAM reply = 0;
  const UINT replyMessage = WaitFor(sameItem, timeoutMs, reply);
  std::optional<std::string> text;
  UINT_PTR data = 0, itemAtom = 0;
  if (replyMessage) UnpackDDElParam(replyMessage, reply, &data, &itemAtom);
  if (replyMessage == WM_DDE_ACK) {
    FreeDDElParam(WM_DDE_ACK, reply);
    GlobalDeleteAtom(static_cast<ATOM>(itemAtom));
  } else if (replyMessage == WM_DDE_DATA) {
    bool release = true, ackRequested = false;
    if (auto* block = static_cast<DDEDATA*>(GlobalLock(reinterpret_cast<HGLOBAL>(data)))) {
      const SIZE_T size = GlobalSize(reinterpret_cast<HGLOBAL>(data));
      const SIZE_T header = offsetof(DDEDATA, Value);
      if (block->cfFormat == CF_TEXT && size >= header) {
        std::string value(reinterpret_cast<const char*>(block->Value), size - header);
        if (auto end = value.find('\0'); end != std::string::npos) value.resize(end);
        text = std::move(value);
      }
      release = block->fRelease;
      ackRequested = block->fAckReq;
      GlobalUnlock(reinterpret_cast<HGLOBAL>(data));
    }
    if (ackRequested) {
      PostMessageA(server_, WM_DDE_ACK, reinterpret_cast<WPARAM>(window_),
                   ReuseDDElParam(reply, WM_DDE_DATA, WM_DDE_ACK, 0x8000, itemAtom));
    } else {
      FreeDDElParam(WM_DDE_DATA, reply);
      GlobalDeleteAtom(static_cast<ATOM>(itemAtom));
    }
    if (release) GlobalFree(reinterpret_cast<HGLOBAL>(data));
  }
  // The answer brought the item's atom back and it was deleted with the
  // answer: deleting it again would take it from other programs using the
  // same name. Without an answer the server may still hold it.
  return text;
}

bool TDdeClientConv::ExecuteMacro(const std::string& command, DWORD timeoutMs) {
  if (!server_) return false;
  // The command goes with its terminating NUL, as servers expect.
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, command.size() + 1);
  if (!block) return false;
  if (lastCommand_) GlobalFree(lastCommand_);
  lastCommand_ = nullptr;
  if (void* bytes = GlobalLock(block)) {
    memcpy(bytes, command.c_str(), command.size() + 1);
    GlobalUnlock(block);
  }
  const LPARAM request = PackDDElParam(WM_DDE_EXECUTE, 0, reinterpret_cast<UINT_PTR>(block));
  if (!PostMessageA(server_, WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(window_), request)) {
    FreeDDElParam(WM_DDE_EXECUTE, request);
    GlobalFree(block);
    return false;
  }
  auto sameCommand = [&](UINT message, LPARAM lParam) {
    if (message != WM_DDE_ACK) return false;
    UINT_PTR status = 0, handle = 0;
    UnpackDDElParam(WM_DDE_ACK, lParam, &status, &handle);
    return reinterpret_cast<HGLOBAL>(handle) == block;
  };
  LPARAM reply = 0;
  // Without an answer the server may still hold the block: it is left to it.
  if (WaitFor(sameCommand, timeoutMs, reply) != WM_DDE_ACK) return false;
  UINT_PTR status = 0, handle = 0;
  UnpackDDElParam(WM_DDE_ACK, reply, &status, &handle);
  FreeDDElParam(WM_DDE_ACK, reply);
  lastCommand_ = block;
  return (status & 0x8000) != 0;
}

}  // namespace fw
