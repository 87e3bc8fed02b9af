// End to end: a terminal on a form, bound to a COM port of the prefix that the
// test cable joins to a pseudo-terminal. The register side sends 100 KB of
// journal; the terminal shows it and its capture file holds every byte.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "comm/port/com_port_win.h"
#include "comm/terminal/terminal_win.h"
#include "comm/port/com_port_component.h"
#include "comm/terminal/window_win.h"
#include "framework/application.h"
#include "framework/form.h"
#include "tests/support/pty_cable.h"

namespace {

using namespace comm;

constexpr char kCaptureName[] = "terminal_e2e.cap";

class TfrmJournal : public fw::TForm {
 public:
  TfrmJournal(fw::TComponent* owner, int comNumber) : fw::TForm(owner) {
    fw::FormLoading loading(*this);
    SetName("frmJournal");
    SetCaption("Journal");
    SetClientWidth(700);
    SetClientHeight(420);

    ApdComPort1 = new ComPortComponent(this, Win32Ports());
    ApdComPort1->SetName("ApdComPort1");
    TApdComPort& port = ApdComPort1->Port();
    port.AutoOpen = false;
    port.SetComNumber(comNumber);
    port.SetBaud(115200);

    ApdEmulator1 = new TApdEmulator(this);
    ApdEmulator1->SetName("ApdEmulator1");
    ApdEmulator1->SetEmulatorType(etNone);
    ApdEmulator1->OnProcessChar = [this](fw::TComponent*, char c, TEmuCommand& command) {
      command.Char = static_cast<std::uint8_t>(c);
      command.Code = ecChar;
      ++received;
    };

    ApdTerminal1 = new TApdTerminal(this);
    ApdTerminal1->SetName("ApdTerminal1");
    ApdTerminal1->SetParent(this);
    ApdTerminal1->SetIntegralSize(isNone);
    ApdTerminal1->SetScrollBars(ssVertical);
    ApdTerminal1->SetAlign(fw::TAlign::alClient);
    ApdTerminal1->SetColumns(80);
    ApdTerminal1->SetPageHeight(25);
    ApdTerminal1->SetCaptureFile(kCaptureName);
    ApdTerminal1->SetCapture(cmOn);
    ApdTerminal1->OnTerminalStatus = [this](fw::TComponent*, std::uint8_t row, std::uint8_t, std::uint16_t,
                                            std::uint16_t) { cursorRow = row; };
    loading.End();
  }

  ComPortComponent* ApdComPort1;
  TApdEmulator* ApdEmulator1;
  TApdTerminal* ApdTerminal1;
  std::atomic<std::size_t> received{0};
  int cursorRow = 0;
};

std::string Journal(std::size_t size) {
  std::string text;
  for (int line = 0; text.size() < size; ++line) {
    char head[32];
    std::snprintf(head, sizeof head, "%05d ITEM ", line);
    std::string row = head;
    for (int i = 0; row.size() < 70; ++i) row.push_back(static_cast<char>('A' + (line * 7 + i) % 26));
    text += row + " 12.50\r\n";
  }
  text.resize(size - 2);
  return text + "\r\n";
}

template <class Done>
bool PumpUntil(Done done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    fw::Application()->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

std::string CopyRow(HWND window, int screenRow, int length) {
  const LRESULT size = SendMessageA(window, TM_GETCHARSIZE, 0, 0);
  const int width = static_cast<int>(size >> 8 & 0xFF), height = static_cast<int>(size & 0xFF);
  const int y = screenRow * height + 1;
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, y));
  SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((length - 1) * width + 1, y));
  SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM((length - 1) * width + 1, y));
  SendMessageA(window, WM_COPY, 0, 0);
  std::string text;
  if (OpenClipboard(window)) {
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
      text = static_cast<const char*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
  }
  return text;
}

TEST(TerminalOnCable, ShowsAndCaptures100KilobytesByteForByte) {
  std::remove(kCaptureName);
  test_support::PtyCable cable;
  auto* form = new TfrmJournal(fw::Application(), cable.ProgramPort());
  form->Show();
  TApdTerminal& terminal = *form->ApdTerminal1;
  EXPECT_TRUE(terminal.ActivationPending());  // the port is closed: it waits for the open

  form->ApdComPort1->Port().SetOpen(true);
  ASSERT_TRUE(form->ApdComPort1->Port().Open());
  EXPECT_TRUE(terminal.Active());  // the port's open notification started it

  const std::string journal = Journal(100 * 1024);
  std::thread sender([&] {
    for (std::size_t at = 0; at < journal.size(); at += 4096) cable.Send(journal.substr(at, 4096));
  });
  const bool all = PumpUntil([&] { return form->received >= journal.size(); }, 120000);
  sender.join();
  ASSERT_TRUE(all) << "received " << form->received << " of " << journal.size();
  PumpUntil([] { return false; }, 300);

  // The last journal line is on screen, just above the cursor.
  std::string lastLine = journal.substr(journal.rfind("\r\n", journal.size() - 3) + 2);
  lastLine.resize(lastLine.size() - 2);
  lastLine.resize(77, ' ');
  ASSERT_GE(form->cursorRow, 2);
  EXPECT_EQ(CopyRow(terminal.Handle(), form->cursorRow - 2, 77), lastLine + "\r\n");

  if (const char* hold = std::getenv("TERMINAL_E2E_HOLD_MS"))
    PumpUntil([] { return false; }, std::atoi(hold));

  terminal.SetCapture(cmOff);
  std::ifstream in(kCaptureName, std::ios::binary);
  const std::string captured((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(captured.size(), journal.size());
  EXPECT_TRUE(captured == journal) << "capture differs from what was sent";

  form->ApdComPort1->Port().SetOpen(false);
  EXPECT_FALSE(terminal.Active());
  EXPECT_TRUE(terminal.ActivationPending());  // follows the port through its next open
  delete form;
}

}  // namespace
