// The terminal control on a form under Wine and Xvfb, with a port whose
// dispatcher is the in-memory one: activation, capture, dimensions, bindings,
// events and keys.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "comm/base/exceptions.h"
#include "comm/terminal/terminal_win.h"
#include "comm/port/com_port_component.h"
#include "comm/keyboard/profile_access.h"
#include "comm/terminal/window_win.h"
#include "framework/application.h"
#include "framework/form.h"
#include "tests/support/fake_dispatcher.h"
#include "tests/support/files.h"

namespace {

using namespace comm;

// Dispatchers in memory; clients hear of opens and closes as real messages.
class MemoryPorts : public PortPlatform {
 public:
  std::unique_ptr<TApdBaseDispatcher> CreateDispatcher(TApdComPort&, bool, std::uintptr_t) override {
    auto dispatcher = std::make_unique<test_support::TApdFakeDispatcher>();
    dispatcher->SetNotificationTransport(&transport);
    last = dispatcher.get();
    return dispatcher;
  }
  bool ReadHandleSettings(std::uintptr_t, LineSettingsBlock&) override { return false; }
  WindowRef CreateNotificationWindow(TApdComPort&) override { return 0x7001; }
  void DestroyNotificationWindow(WindowRef) override {}
  void SendToClient(WindowRef client, std::uint32_t message) override {
    SendMessageA(reinterpret_cast<HWND>(client), message, 0, 0);
  }
  void PostDeferredClose(WindowRef, int) override {}
  void PumpOneMessage() override {}
  bool SelectPort(int&) override { return false; }
  void HandleException(const std::exception& error) override { ADD_FAILURE() << error.what(); }

  test_support::FakeTransport transport;
  test_support::TApdFakeDispatcher* last = nullptr;
};

class TfrmTerminal : public fw::TForm {
 public:
  TfrmTerminal(fw::TComponent* owner, PortPlatform* ports, bool secondTerminal = false) : fw::TForm(owner) {
    fw::FormLoading loading(*this);
    SetCaption("Terminal test");
    SetClientWidth(640);
    SetClientHeight(400);
    if (ports) {
      port = new ComPortComponent(this, *ports);
      port->Port().AutoOpen = false;
      port->Port().SetComNumber(3);
    }
    emulator = new TApdEmulator(this);
    keyboard = new TApdKeyboardEmulator(this, profiles);
    terminal = new TApdTerminal(this);
    terminal->SetParent(this);
    terminal->SetBounds(0, 0, 600, 300);
    if (secondTerminal) {
      other = new TApdTerminal(this);
      other->SetParent(this);
      other->SetBounds(0, 300, 200, 100);
    }
    loading.End();
  }

  TextFileProfile profiles;
  ComPortComponent* port = nullptr;
  TApdEmulator* emulator = nullptr;
  TApdKeyboardEmulator* keyboard = nullptr;
  TApdTerminal* terminal = nullptr;
  TApdTerminal* other = nullptr;
};

int RaisedCode(const std::function<void()>& action) {
  try {
    action();
  } catch (const EAPDException& error) {
    return error.ErrorCode;
  }
  return 0;
}

// Runs `heard` when the watched component sends out its removal notice.
class RemovalProbe : public fw::TComponent {
 public:
  RemovalProbe(fw::TComponent& watched, std::function<void()> heard)
      : fw::TComponent(nullptr), heard_(std::move(heard)) {
    FreeNotification(&watched);
  }

 protected:
  void Notification(fw::TComponent* component, fw::TOperation operation) override {
    fw::TComponent::Notification(component, operation);
    if (operation == fw::TOperation::opRemove) heard_();
  }

 private:
  std::function<void()> heard_;
};

class TerminalComponent : public ::testing::Test {
 protected:
  void SetUp() override {
    form = new TfrmTerminal(fw::Application(), &ports);
    form->Show();
    terminal = form->terminal;
  }
  void TearDown() override { delete form; }
  // Records what the control sends its window.
  void RecordCaptureMessages() {
    terminal->WindowProc = [this](fw::TMessage& message) {
      if (message.Msg == TM_CAPTURE) captureMessages.push_back(message.WParam);
      terminal->WndProc(message);
    };
  }

  MemoryPorts ports;
  TfrmTerminal* form = nullptr;
  TApdTerminal* terminal = nullptr;
  std::vector<WPARAM> captureMessages;
};

TEST_F(TerminalComponent, FollowsItsPortThroughCloseAndReopen) {
  TApdComPort& port = form->port->Port();
  EXPECT_EQ(terminal->ComPort(), &port);  // the form's first port
  EXPECT_TRUE(terminal->ActivationPending());
  port.SetOpen(true);
  EXPECT_TRUE(terminal->Active());
  EXPECT_FALSE(terminal->ActivationPending());
  EXPECT_EQ(ports.last->ListenerCount(), 2u);  // the port's own window and the terminal's
  EXPECT_EQ(ports.last->LengthTrigger(), 1u);
  port.SetOpen(false);
  EXPECT_FALSE(terminal->Active());
  EXPECT_TRUE(terminal->ActivationPending());
  port.SetOpen(true);
  EXPECT_TRUE(terminal->Active());
  EXPECT_EQ(ports.last->ListenerCount(), 2u);
}

// The port object is destroyed before its holder's removal notice goes out.
// A probe heard before the terminal puts a live port, listing the terminal's
// window as a client, in the dead port's place; a probe heard after the
// terminal reads back whether the terminal reached into that place.
TEST_F(TerminalComponent, ARemovedPortIsForgottenWithoutACallIntoIt) {
  ComPortComponent* holder = form->port;
  TApdComPort* place = &holder->Port();
  place->SetOpen(true);
  ASSERT_TRUE(terminal->Active());
  const auto window = reinterpret_cast<WindowRef>(terminal->Handle());
  MemoryPorts standInPorts;
  terminal->SetComPort(nullptr);
  RemovalProbe first(*holder, [&] {
    TApdComPort* standIn = new (place) TApdComPort(standInPorts);
    standIn->AutoOpen = false;
    standIn->RegisterClientWindow(window);
  });
  terminal->SetComPort(place, holder);
  ASSERT_TRUE(terminal->Active());
  int clientsLeft = -1;
  RemovalProbe last(*holder, [&] {
    clientsLeft = place->RegisterClientWindow(0);  // its index: the clients before it
    place->~TApdComPort();
  });
  delete holder;
  form->port = nullptr;
  EXPECT_EQ(clientsLeft, 1) << "the terminal called into its destroyed port";
  EXPECT_EQ(terminal->ComPort(), nullptr);
  EXPECT_FALSE(terminal->Active());
  EXPECT_FALSE(terminal->ActivationPending());
}

TEST_F(TerminalComponent, ShowsWhatItsPortReceives) {
  form->port->Port().SetOpen(true);
  std::remove("component.cap");
  terminal->SetCaptureFile("component.cap");
  terminal->SetCapture(cmOn);
  ports.last->Feed("On the line");
  ports.last->FillReceiveRing();
  SendMessageA(terminal->Handle(), PN_AVAIL, 11, 0);
  terminal->SetCapture(cmOff);
  EXPECT_EQ(test_support::ReadFileText("component.cap"), "On the line");
}

TEST_F(TerminalComponent, RecreatedWindowKeepsTextAndCapture) {
  std::remove("recreate.cap");
  form->port->Port().SetOpen(true);
  terminal->SetCaptureFile("recreate.cap");
  terminal->SetCapture(cmOn);
  terminal->WriteString("kept");
  const HWND before = terminal->Handle();
  terminal->SetScrollBars(ssVertical);  // re-creates the window
  EXPECT_NE(terminal->Handle(), before);
  EXPECT_EQ(terminal->Capture(), cmOn);
  EXPECT_TRUE(terminal->Active());
  terminal->WriteString(" and more");
  terminal->SetCapture(cmOff);
  EXPECT_EQ(test_support::ReadFileText("recreate.cap"), "kept and more");
}

TEST_F(TerminalComponent, RecreatedWindowThatCannotReopenItsCaptureSaysSo) {
  CreateDirectoryA("recreate_folder", nullptr);
  RemoveDirectoryA("recreate_moved");
  std::remove("recreate_folder\\journal.cap");
  terminal->SetCaptureFile("recreate_folder\\journal.cap");
  terminal->SetCapture(cmOn);
  terminal->WriteString("kept");
  // The folder goes away while the file is open (a network folder lost):
  // the re-created window cannot open the file again.
  ASSERT_TRUE(MoveFileA("recreate_folder", "recreate_moved"));
  EXPECT_THROW(terminal->SetScrollBars(ssVertical), fw::Exception);
  ASSERT_TRUE(MoveFileA("recreate_moved", "recreate_folder"));
  EXPECT_EQ(terminal->Capture(), cmOff) << "not capturing, and the property says so";
  terminal->SetCapture(cmAppend);
  terminal->WriteString(" and more");
  terminal->SetCapture(cmOff);
  EXPECT_EQ(test_support::ReadFileText("recreate_folder\\journal.cap"), "kept and more");
}

TEST_F(TerminalComponent, DestroyedTerminalClosesCaptureAndLeavesTheDispatcher) {
  std::remove("destroyed.cap");
  form->port->Port().SetOpen(true);
  ASSERT_EQ(ports.last->ListenerCount(), 2u);
  terminal->SetCaptureFile("destroyed.cap");
  terminal->SetCapture(cmOn);
  terminal->WriteString("journal");
  delete terminal;
  terminal = nullptr;
  EXPECT_EQ(ports.last->ListenerCount(), 1u);
  EXPECT_EQ(test_support::ReadFileText("destroyed.cap"), "journal");
  EXPECT_FALSE(form->emulator->attached);
}

TEST(TerminalWithoutPort, ActiveTrueRaisesAndFalseClears) {
  auto* form = new TfrmTerminal(fw::Application(), nullptr);
  EXPECT_EQ(RaisedCode([&] { form->terminal->SetActive(true); }), codes::kPortNotAssigned);
  EXPECT_EQ(RaisedCode([&] { form->terminal->StartTerminal(); }), codes::kPortNotAssigned);
  form->terminal->SetActive(false);
  EXPECT_FALSE(form->terminal->Active());
  EXPECT_FALSE(form->terminal->ActivationPending());
  delete form;
}

TEST_F(TerminalComponent, CaptureSendsOneMessagePerChange) {
  RecordCaptureMessages();
  terminal->SetCaptureFile("table.cap");
  struct Step {
    TCaptureMode mode;
    std::vector<WPARAM> sent;
  } steps[] = {{cmOn, {0x0001}}, {cmOn, {}}, {cmOff, {0x0000}}, {cmAppend, {0x0101}}, {cmOff, {0x0000}}};
  for (const Step& step : steps) {
    captureMessages.clear();
    terminal->SetCapture(step.mode);
    EXPECT_EQ(captureMessages, step.sent) << "to " << step.mode;
  }
}

TEST_F(TerminalComponent, SwitchingBetweenOnAndAppendKeepsCapturing) {
  std::remove("switch.cap");
  terminal->SetCaptureFile("switch.cap");
  terminal->SetCapture(cmOn);
  terminal->WriteString("first ");
  terminal->SetCapture(cmAppend);
  terminal->WriteString("second");
  terminal->SetCapture(cmOff);
  EXPECT_EQ(test_support::ReadFileText("switch.cap"), "first second");
}

TEST_F(TerminalComponent, FailedCaptureOpenRaisesAndReadsOff) {
  terminal->SetCaptureFile("no_such_folder\\x.cap");
  EXPECT_THROW(terminal->SetCapture(cmOn), fw::Exception);
  EXPECT_EQ(terminal->Capture(), cmOff);
}

TEST_F(TerminalComponent, CaptureFileNamesCompareWithoutCase) {
  terminal->SetCaptureFile("Journal.cap");
  RecordCaptureMessages();
  terminal->SetCapture(cmOn);
  captureMessages.clear();
  terminal->SetCaptureFile("JOURNAL.CAP");
  EXPECT_EQ(terminal->CaptureFile(), "Journal.cap");
  EXPECT_TRUE(captureMessages.empty());
  terminal->SetCapture(cmOff);
}

TEST_F(TerminalComponent, NewCaptureFileWhileCapturingMovesTheCapture) {
  std::remove("old.cap");
  std::remove("new.cap");
  terminal->SetCaptureFile("old.cap");
  terminal->SetCapture(cmAppend);
  terminal->WriteString("before");
  terminal->SetCaptureFile("new.cap");
  EXPECT_EQ(terminal->Capture(), cmAppend);
  terminal->WriteString("after");
  terminal->SetCapture(cmOff);
  EXPECT_EQ(test_support::ReadFileText("old.cap"), "before");
  EXPECT_EQ(test_support::ReadFileText("new.cap"), "after");
}

TEST_F(TerminalComponent, DimensionsKeepWithinTheBufferLimits) {
  terminal->SetRows(1000);
  EXPECT_EQ(terminal->Columns(), 65);
  terminal->SetRows(500);
  terminal->SetColumns(133);
  EXPECT_EQ(terminal->Rows(), 492);
  terminal->SetPageHeight(600);
  EXPECT_EQ(terminal->PageHeight(), 492);
  terminal->SetPageHeight(30);
  terminal->SetRows(10);
  EXPECT_EQ(terminal->Rows(), 30);
}

TEST_F(TerminalComponent, RefusedDimensionsChangeNothing) {
  EXPECT_EQ(RaisedCode([&] { terminal->SetColumns(134); }), codes::kBadArgument);
  EXPECT_EQ(terminal->Rows(), 200);
  EXPECT_EQ(terminal->Columns(), 80);
  EXPECT_EQ(terminal->PageHeight(), 25);
  // The window still has 80 columns: the 81st character wraps to row 2.
  terminal->WriteString(std::string(81, 'x'));
  EXPECT_EQ(SendMessageA(terminal->Handle(), TM_GETTOP, 0, 0), 0);
}

// Fills the 100-row grid past its end, so that its rows no longer lie in
// order in memory until the window is asked for its planes.
void ScrollPastTheGrid(TApdTerminal& terminal) {
  std::string lines;
  for (int i = 0; i < 130; ++i) lines += "line " + std::to_string(i) + "\r\n";
  terminal.WriteString(lines);
}

TEST_F(TerminalComponent, PlanesAreTheWindowsAfterEveryChangeThatMovesThem) {
  auto expectTheWindows = [&](const char* after) {
    TerminalPlanes now;
    ASSERT_EQ(SendMessageA(terminal->Handle(), TM_GETPLANES, 0, reinterpret_cast<LPARAM>(&now)), 0);
    EXPECT_NE(terminal->Planes().Chars, nullptr) << after;
    EXPECT_EQ(terminal->Planes().Chars, now.Chars) << after;
    EXPECT_EQ(terminal->Planes().Colours, now.Colours) << after;
    EXPECT_EQ(terminal->Planes().Attrs, now.Attrs) << after;
  };
  expectTheWindows("creation");
  terminal->SetRows(100);
  expectTheWindows("rows");
  ScrollPastTheGrid(*terminal);
  terminal->SetColor(fw::clNavy);
  expectTheWindows("colours");
  const auto* chars = reinterpret_cast<const char*>(terminal->Planes().Chars);
  EXPECT_EQ(std::string(chars, 8), "line 31 ");  // the oldest row kept comes first
  ScrollPastTheGrid(*terminal);
  terminal->SetDisplayRows(10);
  expectTheWindows("display rows");
  ScrollPastTheGrid(*terminal);
  terminal->SetDisplayColumns(30);
  expectTheWindows("display columns");
  terminal->SetPageHeight(20);
  expectTheWindows("page height");
}

TEST_F(TerminalComponent, AWindowLowerThanOneRowGrowsToOneRow) {
  const int charHeight = static_cast<int>(SendMessageA(terminal->Handle(), TM_GETCHARSIZE, 0, 0) & 0xFF);
  ASSERT_GT(charHeight, 0);
  const int charWidth = static_cast<int>(SendMessageA(terminal->Handle(), TM_GETCHARSIZE, 0, 0) >> 8 & 0xFF);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(terminal->Handle(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(terminal->Handle(), GWL_EXSTYLE)));
  const int width = 300, clientWidth = width - (frame.right - frame.left);
  SetWindowPos(terminal->Handle(), nullptr, 0, 0, width, 3, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client;
  GetClientRect(terminal->Handle(), &client);
  EXPECT_EQ(client.bottom, charHeight);
  EXPECT_EQ(terminal->DisplayRows(), 1);
  // The width it was given, in whole cells.
  EXPECT_EQ(client.right % charWidth, 0);
  EXPECT_GT(client.right, clientWidth - charWidth);
  EXPECT_LE(client.right, width);
}

TEST(TerminalBinding, SecondTerminalGetsNoEmulator) {
  auto* form = new TfrmTerminal(fw::Application(), nullptr, true);
  form->Show();
  EXPECT_EQ(form->terminal->Emulator(), form->emulator);
  EXPECT_EQ(form->other->Emulator(), nullptr);
  EXPECT_EQ(form->terminal->KeyBoardEmu(), form->keyboard);
  EXPECT_EQ(form->other->KeyBoardEmu(), nullptr);
  delete form;
}

TEST_F(TerminalComponent, EmulatorHandlerFillsTheCommands) {
  std::remove("handler.cap");
  form->emulator->OnProcessChar = [](fw::TComponent*, char c, TEmuCommand& command) {
    command.Char = static_cast<std::uint8_t>(c == 'a' ? 'b' : c);
    command.Code = ecChar;
  };
  terminal->SetCaptureFile("handler.cap");
  terminal->SetCapture(cmOn);
  terminal->WriteString("banana");
  terminal->SetCapture(cmOff);
  EXPECT_EQ(test_support::ReadFileText("handler.cap"), "bbnbnb");
}

TEST_F(TerminalComponent, RefusedFontFallsBackToTheDefaultFace) {
  fw::TFont probe;
  probe.SetName("Arial");
  probe.SetSize(12);
  probe.SetPitch(fw::TFontPitch::fpVariable);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, probe.Handle());
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  if (!(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH)) GTEST_SKIP() << "no proportional face here";
  terminal->Font().SetSize(12);
  terminal->Font().SetName("Arial");
  terminal->Font().SetPitch(fw::TFontPitch::fpVariable);
  EXPECT_EQ(terminal->Font().Name(), "Terminal");
  EXPECT_EQ(terminal->Font().Size(), 9);
  EXPECT_NE(SendMessageA(terminal->Handle(), TM_GETCHARSIZE, 0, 0), 0);
}

TEST_F(TerminalComponent, WindowReportsBecomeEvents) {
  struct {
    int row = -1, column = -1, bufferRow = -1, bufferColumn = -1;
    int error = -1;
  } seen;
  terminal->OnTerminalStatus = [&](fw::TComponent*, std::uint8_t row, std::uint8_t column,
                                   std::uint16_t bufferRow, std::uint16_t bufferColumn) {
    seen.row = row;
    seen.column = column;
    seen.bufferRow = bufferRow;
    seen.bufferColumn = bufferColumn;
  };
  terminal->OnTerminalError = [&](fw::TComponent*, std::uint16_t code) { seen.error = code; };
  SendMessageA(terminal->Handle(), TM_STATUS, 0x0A05, 0x00030002);
  EXPECT_EQ(seen.row, 5);
  EXPECT_EQ(seen.column, 10);
  EXPECT_EQ(seen.bufferRow, 2);
  EXPECT_EQ(seen.bufferColumn, 3);
  terminal->SetCaptureFile("reported.cap");
  terminal->SetCapture(cmOn);
  SendMessageA(terminal->Handle(), TM_ERROR, 112, 0);  // a capture write failed
  EXPECT_EQ(seen.error, 112);
  EXPECT_EQ(terminal->Capture(), cmOff);
}

TEST_F(TerminalComponent, MappedKeysGoOutThroughThePort) {
  std::ofstream("component_keys.ini", std::ios::binary)
      << "[Index]\r\nVT100=#\r\n[Defaults]\r\n_Entries=1\r\n[VT100]\r\nKey1=112,14,HELLO\r\n";
  TApdKeyboardEmulator& keyboard = *form->keyboard;
  keyboard.SetMapFileName("component_keys.ini");
  keyboard.SetProcessExtended(true);
  keyboard.SetEnabled(true);
  EXPECT_EQ(keyboard.EmulatorType(), "VT100");  // a single record is selected
  form->port->Port().SetOpen(true);
  terminal->SetHalfDuplex(true);
  SendMessageA(terminal->Handle(), WM_KEYDOWN, VK_F1, 0);
  SendMessageA(terminal->Handle(), WM_KEYDOWN, 'Z', 0);  // not mapped: its character goes
  SendMessageA(terminal->Handle(), WM_CHAR, 'z', 0);
  ports.last->DrainOutput(100);
  EXPECT_EQ(ports.last->sent, "HELLOz");
  keyboard.SetEnabled(false);
}

TEST(KeyboardEmulator, MissingMapIsCreatedAndABadOneRaises) {
  TextFileProfile profiles;
  TApdKeyboardEmulator keyboard(nullptr, profiles);
  std::remove("./fresh_keys.ini");
  keyboard.SetMapFileName("./fresh_keys.ini");
  keyboard.SetEnabled(true);
  EXPECT_TRUE(keyboard.Enabled());
  EXPECT_TRUE(keyboard.EmulatorNames().empty());
  keyboard.SetEnabled(false);
  std::ofstream("./bad_keys.ini", std::ios::binary)
      << "[Index]\r\nX=#\r\n[Defaults]\r\n_Entries=1\r\n[X]\r\nKey1=abc,1,X\r\n";
  keyboard.SetMapFileName("./bad_keys.ini");
  EXPECT_THROW(keyboard.SetEnabled(true), fw::EConvertError);
  EXPECT_TRUE(keyboard.Enabled());  // the map is open; its keys did not load
}

}  // namespace
