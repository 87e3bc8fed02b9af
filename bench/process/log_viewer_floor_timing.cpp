// What the platform itself needs for the log viewer's two slow steps, in a
// plain Win32 program with no framework: the whole text of a 750000-byte
// capture-like file set into a read-only multi-line edit control laid out as
// the viewer's (Courier, both scroll bars), and the entries of a Find All
// added to a visible list box with redraw off, then painted. Prints the
// median of several runs; log_viewer_open.sh runs it beside the viewer.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/capture/viewer/capture_like_log.h"
#include "capture/viewer/search.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Now() {
  static LARGE_INTEGER start = [] {
    LARGE_INTEGER value;
    QueryPerformanceCounter(&value);
    return value;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return Milliseconds(start, now);
}

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

HWND MakeTopWindow(int width, int height) {
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "FloorWindow";
    return RegisterClassA(&windowClass) != 0;
  }();
  (void)registered;
  HWND window = CreateWindowExA(0, "FloorWindow", "floor", WS_OVERLAPPEDWINDOW, 0, 0, width, height, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  Pump();
  return window;
}

// WM_SETTEXT of the text into the edit control, painted.
double SetTextIntoEdit(const std::string& text) {
  HWND window = MakeTopWindow(638, 442);
  HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                              WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                                  ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_NOHIDESEL,
                              12, 12, 456, 360, window, nullptr, GetModuleHandleA(nullptr), nullptr);
  HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "Courier");
  SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
  Pump();
  const double start = Now();
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageA(edit, EM_SETSEL, 0, 0);
  UpdateWindow(window);
  Pump();
  const double took = Now() - start;
  DestroyWindow(window);
  DeleteObject(font);
  return took;
}

// The entries added to a visible list box with redraw off, then painted.
double FillListBox(const std::vector<std::string>& entries) {
  HWND window = MakeTopWindow(553, 371);
  HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 12, 41,
                              513, 250, window, nullptr, GetModuleHandleA(nullptr), nullptr);
  Pump();
  const double start = Now();
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  for (const std::string& entry : entries) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  SendMessageA(list, LB_SETCURSEL, 0, 0);
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  UpdateWindow(window);
  Pump();
  const double took = Now() - start;
  DestroyWindow(window);
  return took;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  const std::string log = CaptureLikeLog(750000);
  // The edit control holds the text with every line break as CR LF, as the viewer shows it.
  const std::string text = capture::MemoTextFromFile(log);
  std::vector<std::string> entries;
  for (const capture::LineHit& hit : capture::FindLinesNoCase(text, "total"))
    entries.push_back(capture::SearchResultEntry(hit));

  std::vector<double> setText, fill;
  for (int run = 0; run < 9; ++run) {
    setText.push_back(SetTextIntoEdit(text));
    fill.push_back(FillListBox(entries));
  }
  std::printf("platform floor, median of 9 runs:\n");
  std::printf("  WM_SETTEXT of %zu characters into the edit control, painted  %8.1f ms\n", text.size(),
              Median(setText));
  std::printf("  %zu entries into a visible list box, redraw off, painted     %8.1f ms\n", entries.size(),
              Median(fill));
  return 0;
}
