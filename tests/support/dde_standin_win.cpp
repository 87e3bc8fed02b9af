// A stand-in DDE server for Program Manager tests, run as its own process so
// that it has its own message loop:
//   dde_standin.exe SERVICE SCRIPT LOG READY-EVENT
// SCRIPT holds "group NAME" lines, each followed by the lines its content
// request answers, and "refuse PREFIX" lines: an execute string beginning
// with PREFIX is refused. "Groups" answers the group names, one a line; a
// request for an unknown item gets no data. Every request ("?" and the item)
// and every execute string is appended to LOG, one a line, before it is
// answered. The server ends on WM_QUIT.
#include <windows.h>

#include <dde.h>

#include <cstddef>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

// It speaks the DDE messages itself: Wine's DDE management library, as a
// server, answered a request after an acknowledged data message with a stray
// positive acknowledgement and refused the next item it had.
std::string service;
std::vector<std::string> groupOrder;
std::map<std::string, std::string> replies;
std::vector<std::string> refused;
std::string logPath;

std::string AtomText(ATOM atom) {
  char buffer[512] = {};
  GlobalGetAtomNameA(atom, buffer, sizeof buffer);
  return buffer;
}

bool SameText(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

void Record(const std::string& line) {
  std::ofstream log(logPath, std::ios::app | std::ios::binary);
  log << line << "\n";
}

void Request(HWND self, HWND client, LPARAM lParam) {
  const UINT format = LOWORD(lParam);
  const ATOM item = HIWORD(lParam);
  Record("?" + AtomText(item));
  const auto found = replies.find(AtomText(item));
  if (format != CF_TEXT || found == replies.end()) {
    // Refused: the item's atom travels back with the answer.
    if (!PostMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(self), PackDDElParam(WM_DDE_ACK, 0, item)))
      GlobalDeleteAtom(item);
    return;
  }
  const std::string& reply = found->second;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, offsetof(DDEDATA, Value) + reply.size() + 1);
  auto* data = static_cast<DDEDATA*>(GlobalLock(block));
  data->unused = 0;
  data->fResponse = 1;
  data->fRelease = 1;
  data->reserved = 0;
  data->fAckReq = 0;
  data->cfFormat = CF_TEXT;
  memcpy(data->Value, reply.c_str(), reply.size() + 1);
  GlobalUnlock(block);
  if (!PostMessageA(client, WM_DDE_DATA, reinterpret_cast<WPARAM>(self),
                    PackDDElParam(WM_DDE_DATA, reinterpret_cast<UINT_PTR>(block), item))) {
    GlobalFree(block);
    GlobalDeleteAtom(item);
  }
}

void Execute(HWND self, HWND client, LPARAM lParam) {
  UINT_PTR unused = 0, handle = 0;
  UnpackDDElParam(WM_DDE_EXECUTE, lParam, &unused, &handle);
  FreeDDElParam(WM_DDE_EXECUTE, lParam);
  std::string command;
  auto block = reinterpret_cast<HGLOBAL>(handle);
  if (const char* text = static_cast<const char*>(GlobalLock(block))) {
    command.assign(text, strnlen(text, GlobalSize(block)));
    GlobalUnlock(block);
  }
  Record(command);
  bool accepted = true;
  for (const auto& prefix : refused)
    if (command.compare(0, prefix.size(), prefix) == 0) accepted = false;
  PostMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(self),
               PackDDElParam(WM_DDE_ACK, accepted ? 0x8000 : 0, handle));
}

LRESULT CALLBACK WindowProc(HWND self, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto client = reinterpret_cast<HWND>(wParam);
  switch (message) {
    case WM_DDE_INITIATE: {
      const std::string app = AtomText(LOWORD(lParam)), topic = AtomText(HIWORD(lParam));
      if ((LOWORD(lParam) && !SameText(app, service)) || (HIWORD(lParam) && !SameText(topic, service)))
        return 0;
      const ATOM appAtom = GlobalAddAtomA(service.c_str()), topicAtom = GlobalAddAtomA(service.c_str());
      SendMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(self), MAKELPARAM(appAtom, topicAtom));
      return 0;
    }
    case WM_DDE_REQUEST:
      Request(self, client, lParam);
      return 0;
    case WM_DDE_EXECUTE:
      Execute(self, client, lParam);
      return 0;
    case WM_DDE_ACK:
      // Acknowledgements of data: none is asked for.
      FreeDDElParam(WM_DDE_ACK, lParam);
      return 0;
    case WM_DDE_TERMINATE:
      PostMessageA(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(self), 0);
      return 0;
    default:
      return DefWindowProcA(self, message, wParam, lParam);
  }
}

void ReadScript(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::string line, group;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("group ", 0) == 0) {
      group = line.substr(6);
      groupOrder.push_back(group);
      replies[group];
    } else if (line.rfind("refuse ", 0) == 0) {
      refused.push_back(line.substr(7));
    } else if (!group.empty()) {
      replies[group] += line + "\r\n";
    }
  }
  std::string names;
  for (const auto& name : groupOrder) names += name + "\r\n";
  replies["Groups"] = names;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: dde_standin SERVICE SCRIPT LOG READY-EVENT\n");
    return 2;
  }
  service = argv[1];
  ReadScript(argv[2]);
  logPath = argv[3];
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TallimoDdeStandIn";
  RegisterClassA(&wc);
  // A top-level window: the broadcast that opens a conversation reaches
  // top-level windows only.
  HWND window =
      CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
  if (!window) return 1;
  if (HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[4])) {
    SetEvent(ready);
    CloseHandle(ready);
  }
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  DestroyWindow(window);
  return 0;
}
