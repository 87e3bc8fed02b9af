// The log viewer and its search results windows, on the test display.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "capture/viewer/search_results_win.h"
#include "capture/viewer/shell_print_win.h"
#include "capture/viewer/view_logs_win.h"
#include "framework/timer.h"
#include "report/preview/qr_standard_preview_win.h"
#include "report/report/report_engine_win.h"
#include "tests/framework/gui_support.h"
#include "tests/support/pdf_output.h"
#include "tests/support/screenshot.h"
#include "tests/support/files.h"

namespace {

using capture::TfrmCaptureSearchResults;
using capture::TfrmCaptureViewLogs;

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// Records the shell requests instead of carrying them out.
class ShellRecorder : public capture::ShellVerbs {
 public:
  explicit ShellRecorder(bool hasPrintTo) : hasPrintTo_(hasPrintTo) {
    previous_ = capture::SetShellVerbs(this);
  }
  ~ShellRecorder() override { capture::SetShellVerbs(previous_); }
  bool Has(const std::string&, const std::string& verb) override { return verb == "printto" && hasPrintTo_; }
  bool Run(const capture::ShellRequest& request) override {
    requests.push_back(request);
    return !(refusePrintTo && request.Verb == "printto");
  }
  std::vector<capture::ShellRequest> requests;
  bool refusePrintTo = false;

 private:
  bool hasPrintTo_;
  capture::ShellVerbs* previous_;
};

// Other tests on the same display look at their windows' pixels near the
// top left and the middle of the screen; ours keep to the bottom left,
// partly off the screen.
void PlaceAside(TfrmCaptureViewLogs& viewer) {
  viewer.SetPosition(fw::TPosition::poDesigned);
  viewer.SetBounds(-330, 570, viewer.Width(), viewer.Height());
}

// Results windows take the system's default position, the top left corner
// here; while this lives they are created at the bottom left instead.
class ResultsWindowsAside {
 public:
  ResultsWindowsAside() { hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId()); }
  ~ResultsWindowsAside() { UnhookWindowsHookEx(hook_); }
  ResultsWindowsAside(const ResultsWindowsAside&) = delete;
  ResultsWindowsAside& operator=(const ResultsWindowsAside&) = delete;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
      CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
      if (create->lpszName && !IS_INTRESOURCE(create->lpszName) &&
          std::string(create->lpszName) == "Search Results") {
        create->x = -250;
        create->y = 653;
      }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  HHOOK hook_;
};

class LogViewer : public ::testing::Test {
 protected:
  // Each test keeps its files in a folder of its own: tests run side by side.
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string folder = std::string(test->test_suite_name()) + "_" + test->name();
    for (char& ch : folder)
      if (ch == '/') ch = '_';  // parameterised names
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    viewer = std::make_unique<TfrmCaptureViewLogs>(nullptr);
    // Bottom left, partly off the screen: clear of the windows that other
    // tests on the same display look at.
    PlaceAside(*viewer);
    viewer->Show();
    fwtest::PumpFor(50);
  }
  void TearDown() override {
    viewer.reset();
    fwtest::ReleaseModifiers();
    fwtest::PumpFor(20);
    SetCurrentDirectoryA("..");
  }

  std::string Open(const std::string& name, const std::string& bytes) {
    WriteBytes(name, bytes);
    viewer->OpenFile(test_support::FullPath(name));
    return test_support::FullPath(name);
  }
  void Search(const std::string& text) { viewer->edtSearch->SetText(text); }
  // The results window of Find All for `text` in a file of `bytes` just opened.
  TfrmCaptureSearchResults* FindAllIn(const std::string& name, const std::string& bytes, const std::string& text) {
    Open(name, bytes);
    Search(text);
    viewer->btnFindAllClick(viewer->btnFindAll);
    return Results().at(0);
  }
  std::pair<int, int> Selection() const { return {viewer->memLog->SelStart(), viewer->memLog->SelLength()}; }
  std::vector<TfrmCaptureSearchResults*> Results() const {
    std::vector<TfrmCaptureSearchResults*> windows;
    for (fw::TComponent* component : viewer->Components())
      if (auto* window = dynamic_cast<TfrmCaptureSearchResults*>(component)) windows.push_back(window);
    return windows;
  }

  ResultsWindowsAside resultsAside;
  std::unique_ptr<TfrmCaptureViewLogs> viewer;
};

const std::string kMixedBreaks = "A\r\nB\nC\rD\n\nE";

TEST_F(LogViewer, OpenStartsInTheProgramsFolderWhereTheCaptureFilesAre) {
  char module[MAX_PATH];
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  std::string folder = module;
  folder.erase(folder.find_last_of('\\'));
  const std::string shown = fwtest::FolderShownByFileDialog([&] { viewer->mnuFileOpen->Click(); });
  EXPECT_EQ(lstrcmpiA(shown.c_str(), folder.c_str()), 0) << shown;
}

TEST_F(LogViewer, StartsWithNoFileAndSearchAndPrintDisabled) {
  EXPECT_EQ(viewer->Caption(), "Quorvane - View Logs - No File Selected");
  EXPECT_EQ(viewer->Width(), 638);
  EXPECT_EQ(viewer->Height(), 442);
  for (fw::TButton* button : {viewer->btnSearch, viewer->btnAgain, viewer->btnFindAll, viewer->btnPrint})
    EXPECT_FALSE(button->Enabled()) << button->Name();
  for (fw::TMenuItem* item :
       {viewer->mnuFindFirst, viewer->mnuFindNext, viewer->mnuFindAll, viewer->mnuFilePrint})
    EXPECT_FALSE(item->Enabled()) << item->Name();
  EXPECT_TRUE(viewer->btnClose->Default());
  EXPECT_EQ(viewer->btnClose->Top() + viewer->btnClose->Height(), viewer->pnlRight->ClientHeight());
  EXPECT_EQ(viewer->btnPrint->Top(), viewer->pnlRight->ClientHeight() - 57);
}

TEST_F(LogViewer, MixedLineBreaksGiveOneLinePerBreakInFindAllAndGoToLine) {
  Open("mixed_breaks.txt", kMixedBreaks);
  EXPECT_EQ(viewer->memLog->Text(), "A\r\nB\r\nC\r\nD\r\n\r\nE");
  EXPECT_EQ(viewer->Caption(), "Quorvane - View Logs - mixed_breaks.txt");
  EXPECT_EQ(Selection(), std::make_pair(0, 0));

  struct Case {
    const char* text;
    const char* entry;
    int position;  // of the hit that Go To Line selects
  };
  const Case cases[] = {{"a", "0     A", 0},
                        {"b", "1     B", 3},
                        {"c", "2     C", 6},
                        {"d", "3     D", 9},
                        {"e", "5     E", 14}};
  for (const auto& c : cases) {
    Search(c.text);
    viewer->btnFindAllClick(viewer->btnFindAll);
    ASSERT_EQ(Results().size(), 1u) << c.text;
    TfrmCaptureSearchResults* results = Results()[0];
    EXPECT_EQ(results->lstResults->Items().Strings(), std::vector<std::string>{c.entry});
    viewer->memLog->SelectRange(0, 0);
    results->btnGoToClick(results->btnGoTo);
    EXPECT_EQ(Selection(), std::make_pair(c.position, 1)) << c.text;
    delete results;
  }
  // The caret alone goes to each line's start, the empty line 4 included.
  const int starts[] = {0, 3, 6, 9, 12, 14};
  for (size_t line = 0; line < 6; ++line) {
    ASSERT_TRUE(viewer->memLog->PlaceCaretAtLine(line));
    EXPECT_EQ(Selection(), std::make_pair(starts[line], 0)) << line;
  }
  EXPECT_FALSE(viewer->memLog->PlaceCaretAtLine(6));
}

TEST_F(LogViewer, FindIsCaseInsensitiveAndAsksToWrapAtTheEnd) {
  Open("totals.txt", "Total 1\r\nnothing\r\nSUB TOTAL 2\r\ntotal 3\r\n");
  Search("total");
  EXPECT_TRUE(viewer->btnSearch->Default());
  viewer->btnSearchClick(viewer->btnSearch);
  EXPECT_EQ(Selection(), std::make_pair(0, 5));
  EXPECT_TRUE(viewer->btnAgain->Default());
  EXPECT_FALSE(viewer->btnSearch->Default());
  EXPECT_FALSE(viewer->btnClose->Default());
  EXPECT_TRUE(viewer->edtSearch->Focused());
  viewer->btnAgainClick(viewer->btnAgain);
  EXPECT_EQ(Selection(), std::make_pair(22, 5));
  viewer->btnAgainClick(viewer->btnAgain);
  EXPECT_EQ(Selection(), std::make_pair(31, 5));
  {
    fwtest::BoxAnswerer no(fw::mrNo);
    viewer->btnAgainClick(viewer->btnAgain);
    ASSERT_EQ(no.boxes.size(), 1u);
    EXPECT_EQ(no.boxes[0].Text, "Reached end of document, do you want to continue from the begininning?");
    EXPECT_EQ(no.boxes[0].Type, fw::TMsgDlgType::mtConfirmation);
    EXPECT_EQ(no.boxes[0].Buttons, unsigned(fw::mbYesNo));
    EXPECT_EQ(Selection(), std::make_pair(31, 5));
  }
  fwtest::BoxAnswerer yes(fw::mrYes);
  viewer->btnAgainClick(viewer->btnAgain);
  EXPECT_EQ(yes.boxes.size(), 1u);
  EXPECT_EQ(Selection(), std::make_pair(0, 5));
}

TEST_F(LogViewer, TextNotFoundSaysSoAndFindAllOpensNoWindow) {
  Open("plain.txt", "alpha\r\nbeta\r\n");
  Search("gamma");
  fwtest::BoxAnswerer ok(fw::mrOk);
  viewer->btnSearchClick(viewer->btnSearch);
  viewer->btnFindAllClick(viewer->btnFindAll);
  ASSERT_EQ(ok.boxes.size(), 2u);
  for (const auto& box : ok.boxes) {
    EXPECT_EQ(box.Text, "Search String 'gamma' not found.");
    EXPECT_EQ(box.Type, fw::TMsgDlgType::mtInformation);
  }
  EXPECT_TRUE(Results().empty());
}

TEST_F(LogViewer, EmptySearchTextDoesNothingFromButtonsMenuOrShortcuts) {
  Open("plain.txt", "alpha\r\nbeta\r\n");
  Search("beta");
  EXPECT_TRUE(viewer->mnuFindAll->Enabled());
  Search("");
  for (fw::TMenuItem* item : {viewer->mnuFindFirst, viewer->mnuFindNext, viewer->mnuFindAll})
    EXPECT_FALSE(item->Enabled()) << item->Name();
  EXPECT_TRUE(viewer->btnClose->Default());
  fwtest::BoxAnswerer ok(fw::mrOk);
  viewer->btnSearchClick(viewer->mnuFindFirst);
  viewer->btnAgainClick(viewer->mnuFindNext);
  viewer->btnFindAllClick(viewer->mnuFindAll);
  viewer->memLog->SetFocus();
  fwtest::PostKey(viewer->memLog->Handle(), 'F', true);
  fwtest::PumpFor(50);
  fwtest::PostKey(viewer->memLog->Handle(), VK_F3);
  fwtest::PumpFor(50);
  EXPECT_TRUE(ok.boxes.empty());
  EXPECT_TRUE(Results().empty());
  EXPECT_EQ(Selection(), std::make_pair(0, 0));
}

TEST_F(LogViewer, ShortcutsRunTheSearches) {
  Open("totals.txt", "x\r\ntotal\r\n");
  Search("TOTAL");
  viewer->memLog->SetFocus();
  fwtest::PostKey(viewer->memLog->Handle(), 'F', true);
  fwtest::PumpFor(50);
  fwtest::ReleaseModifiers();
  EXPECT_EQ(Selection(), std::make_pair(3, 5));
}

TEST_F(LogViewer, OpensAFileOfExactlyTheLimitAndRefusesOneByteMore) {
  const std::string atLimit(TfrmCaptureViewLogs::kMaxFileSize, 'x');
  const std::string path = Open("at_limit.txt", atLimit);
  EXPECT_EQ(viewer->CurrentPath(), path);
  EXPECT_EQ(viewer->memLog->Text().size(), atLimit.size());

  fwtest::BoxAnswerer ok(fw::mrOk);
  Open("over_limit.txt", atLimit + "x");
  ASSERT_EQ(ok.boxes.size(), 1u);
  EXPECT_EQ(ok.boxes[0].Text, "File too large to open");
  EXPECT_EQ(ok.boxes[0].Type, fw::TMsgDlgType::mtError);
  // Nothing else changes.
  EXPECT_EQ(viewer->CurrentPath(), path);
  EXPECT_EQ(viewer->Caption(), "Quorvane - View Logs - at_limit.txt");
  EXPECT_EQ(viewer->memLog->Text().size(), atLimit.size());
}

TEST_F(LogViewer, AFileThatCannotBeReadClearsTheViewer) {
  Open("readable.txt", "some text");
  fwtest::BoxAnswerer ok(fw::mrOk);
  viewer->OpenFile(test_support::FullPath("no_such_file.txt"));
  ASSERT_EQ(ok.boxes.size(), 1u);
  EXPECT_EQ(ok.boxes[0].Text, "Cannot Open, File Already in Use");
  EXPECT_EQ(viewer->Caption(), "Quorvane - View Logs - No File Selected");
  EXPECT_EQ(viewer->CurrentPath(), "");
  EXPECT_EQ(viewer->memLog->Text(), "");
  EXPECT_FALSE(viewer->btnPrint->Enabled());
}

TEST_F(LogViewer, OpensACaptureFileWhileTheProgramStillWritesIt) {
  WriteBytes("being_written.txt", "first line\r\n");
  HANDLE writer = CreateFileA("being_written.txt", GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  fwtest::BoxAnswerer ok(fw::mrOk);
  viewer->OpenFile(test_support::FullPath("being_written.txt"));
  CloseHandle(writer);
  EXPECT_TRUE(ok.boxes.empty());
  EXPECT_EQ(viewer->memLog->Text(), "first line\r\n");
}

TEST_F(LogViewer, SelectAllSelectsTheWholeTextAndFocusesIt) {
  Open("plain.txt", "alpha\nbeta");
  viewer->edtSearch->SetFocus();
  viewer->SelectAll1Click(viewer->SelectAll1);
  EXPECT_EQ(Selection(), std::make_pair(0, 11));
  EXPECT_TRUE(viewer->memLog->Focused());
}

TEST_F(LogViewer, NewClearsTheText) {
  Open("plain.txt", "alpha");
  viewer->New1Click(viewer->New1);
  EXPECT_EQ(viewer->memLog->Text(), "");
  EXPECT_EQ(viewer->Caption(), "Quorvane - View Logs - No File Selected");
  EXPECT_EQ(viewer->CurrentPath(), "");
  EXPECT_FALSE(viewer->mnuFilePrint->Enabled());
}

TEST_F(LogViewer, SaveAsToANewNameDoesNotAsk) {
  Open("source.txt", kMixedBreaks);
  DeleteFileA("copy_new.txt");
  fwtest::BoxAnswerer yes(fw::mrYes);
  viewer->SaveAs(test_support::FullPath("copy_new.txt"));
  EXPECT_TRUE(yes.boxes.empty());
  EXPECT_EQ(ReadBytes("copy_new.txt"), "A\r\nB\r\nC\r\nD\r\n\r\nE");
  EXPECT_EQ(viewer->Caption(), "Quorvane - View Logs - copy_new.txt");
  EXPECT_EQ(viewer->CurrentPath(), test_support::FullPath("copy_new.txt"));
}

TEST_F(LogViewer, SaveAsOverAnExistingFileAsksAndNoLeavesItUntouched) {
  Open("source.txt", "new content");
  WriteBytes("existing.txt", "old content");
  {
    fwtest::BoxAnswerer no(fw::mrNo);
    viewer->SaveAs(test_support::FullPath("existing.txt"));
    ASSERT_EQ(no.boxes.size(), 1u);
    EXPECT_EQ(no.boxes[0].Text, "File already exists. Do you want to replace it?");
    EXPECT_EQ(no.boxes[0].Type, fw::TMsgDlgType::mtWarning);
    EXPECT_EQ(no.boxes[0].Buttons, unsigned(fw::mbYesNo));
  }
  EXPECT_EQ(ReadBytes("existing.txt"), "old content");
  EXPECT_EQ(viewer->Caption(), "Quorvane - View Logs - source.txt");
  fwtest::BoxAnswerer yes(fw::mrYes);
  viewer->SaveAs(test_support::FullPath("existing.txt"));
  EXPECT_EQ(ReadBytes("existing.txt"), "new content");
  EXPECT_EQ(viewer->Caption(), "Quorvane - View Logs - existing.txt");
}

TEST_F(LogViewer, SaveAsOverAFileInUseSaysSoAndKeepsIt) {
  Open("source.txt", "new content");
  WriteBytes("in_use.txt", "old content");
  HANDLE holder =
      CreateFileA("in_use.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  fwtest::BoxAnswerer yes(fw::mrYes);
  viewer->SaveAs(test_support::FullPath("in_use.txt"));
  CloseHandle(holder);
  ASSERT_EQ(yes.boxes.size(), 2u);
  EXPECT_EQ(yes.boxes[1].Text, "Cannot save, file already in use");
  EXPECT_EQ(yes.boxes[1].Type, fw::TMsgDlgType::mtError);
  EXPECT_EQ(ReadBytes("in_use.txt"), "old content");
  EXPECT_EQ(GetFileAttributesA("in_use.txt.~tmp"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(viewer->Caption(), "Quorvane - View Logs - source.txt");
}

TEST_F(LogViewer, PrintAsksTheShellForPrintOnTheFileHidden) {
  const std::string path = Open("print_me.txt", "text");
  ShellRecorder shell(false);
  viewer->PrintCurrentFile("Office Printer");
  ASSERT_EQ(shell.requests.size(), 1u);
  EXPECT_EQ(shell.requests[0].Verb, "Print");
  EXPECT_EQ(shell.requests[0].File, path);
  EXPECT_EQ(shell.requests[0].Parameters, "");
  EXPECT_EQ(shell.requests[0].Show, SW_HIDE);
}

TEST_F(LogViewer, PrintUsesPrintToForTheChosenPrinterWhereTheAssociationHasIt) {
  const std::string path = Open("print_me.txt", "text");
  ShellRecorder shell(true);
  viewer->PrintCurrentFile("Office Printer");
  viewer->PrintCurrentFile("");
  ASSERT_EQ(shell.requests.size(), 2u);
  EXPECT_EQ(shell.requests[0].Verb, "printto");
  EXPECT_EQ(shell.requests[0].File, path);
  EXPECT_EQ(shell.requests[0].Parameters, "\"Office Printer\"");
  EXPECT_EQ(shell.requests[0].Show, SW_HIDE);
  EXPECT_EQ(shell.requests[1].Verb, "Print");
}

TEST_F(LogViewer, ARefusedPrintToStillPrintsOnTheDefaultPrinter) {
  const std::string path = Open("print_me.txt", "text");
  ShellRecorder shell(true);
  shell.refusePrintTo = true;
  viewer->PrintCurrentFile("Office Printer");
  ASSERT_EQ(shell.requests.size(), 2u);
  EXPECT_EQ(shell.requests[0].Verb, "printto");
  EXPECT_EQ(shell.requests[1].Verb, "Print");
  EXPECT_EQ(shell.requests[1].File, path);
  EXPECT_EQ(shell.requests[1].Parameters, "");
}

TEST_F(LogViewer, PrintWithNoFileShownIsDisabledAndDoesNothing) {
  ShellRecorder shell(true);
  EXPECT_FALSE(viewer->btnPrint->Enabled());
  viewer->PrintCurrentFile("Office Printer");
  viewer->btnPrintClick(viewer->btnPrint);
  EXPECT_TRUE(shell.requests.empty());
}

// Registers the recorder program as the association of a file type of its
// own, with "print" and optionally "printto" (printer, driver and port, as
// the system's own associations take them), for the real shell to find.
class RecorderAssociation {
 public:
  explicit RecorderAssociation(bool withPrintTo)
      : extension_(withPrintTo ? ".tlmprintto" : ".tlmprint"),
        progId_(withPrintTo ? "Tallimo.PrintToTest" : "Tallimo.PrintTest") {
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string folder = module;
    folder.erase(folder.find_last_of('\\') + 1);
    log_ = folder + "shell_verb_recorder" + extension_ + ".log";
    DeleteFileA(log_.c_str());
    // The recorder finds its log through the environment it inherits.
    SetEnvironmentVariableA("TALLIMO_VERB_LOG", log_.c_str());
    // Wine reads an association's command into 256 characters and finds no
    // command in a longer one; the recorder's short path keeps it short
    // however deep the build folder lies.
    const std::string recorder = folder + "shell_verb_recorder.exe";
    char shortPath[MAX_PATH];
    const DWORD length = GetShortPathNameA(recorder.c_str(), shortPath, MAX_PATH);
    const std::string program =
        "\"" + (length > 0 && length < MAX_PATH ? std::string(shortPath) : recorder) + "\" ";
    Set(extension_, progId_);
    Set(progId_ + "\\shell\\print\\command", program + "print \"%1\"");
    if (withPrintTo)
      Set(progId_ + "\\shell\\printto\\command", program + "printto \"%1\" \"%2\" \"%3\" \"%4\"");
  }
  ~RecorderAssociation() {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, extension_.c_str());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, progId_.c_str());
    DeleteFileA(log_.c_str());
    SetEnvironmentVariableA("TALLIMO_VERB_LOG", nullptr);
  }
  // The recorder's line, once it has run (empty when it did not within 10 s).
  std::string WaitForLine() const {
    for (int waited = 0; waited < 10000; waited += 50) {
      const std::string content = ReadBytes(log_);
      if (!content.empty() && content.back() == '\n') return content.substr(0, content.size() - 1);
      fwtest::PumpFor(50);
    }
    return {};
  }
  const std::string& Extension() const { return extension_; }

 private:
  static void Set(const std::string& key, const std::string& value) {
    HKEY handle;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr),
        ERROR_SUCCESS);
    RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(handle);
  }
  std::string extension_, progId_, log_;
};

struct ShellPrintCase {
  const char* name;
  bool withPrintTo;
  const char* folder;  // where the printed file lies, below the test's folder
};

class ShellPrint : public LogViewer, public ::testing::WithParamInterface<ShellPrintCase> {};

// Through the real shell to the associated program: with the chosen printer
// where the association takes one, the file's whole path either way, also in
// folders with blanks and deep ones.
TEST_P(ShellPrint, ReachesTheAssociatedProgram) {
  RecorderAssociation association(GetParam().withPrintTo);
  std::string folder = GetParam().folder;
  for (std::size_t slash = 0; slash != std::string::npos;) {
    slash = folder.find('\\', slash + 1);
    CreateDirectoryA(folder.substr(0, slash).c_str(), nullptr);
  }
  const std::string path = Open(folder + "\\journal" + association.Extension(), "text");
  viewer->PrintCurrentFile("Office Printer");
  const std::string line = association.WaitForLine();
  if (!GetParam().withPrintTo) {
    EXPECT_EQ(line, "print|" + path);
    return;
  }
  // The driver and port arguments stay empty: only the printer is passed.
  const std::string expected = "printto|" + path + "|Office Printer";
  EXPECT_EQ(line.substr(0, expected.size()), expected) << line;
  EXPECT_EQ(line.find_first_not_of('|', expected.size()), std::string::npos) << line;
}

const char kDeepFolder[] = "Shop Journals\\Front Counter Register\\December 2026";

INSTANTIATE_TEST_SUITE_P(
    Folders, ShellPrint,
    ::testing::Values(ShellPrintCase{"Print", false, "Journals"}, ShellPrintCase{"PrintTo", true, "Journals"},
                      ShellPrintCase{"PrintInProgramFiles", false, "Program Files\\Quorvane"},
                      ShellPrintCase{"PrintToInProgramFiles", true, "Program Files\\Quorvane"},
                      ShellPrintCase{"PrintToInADeepFolder", true, kDeepFolder}),
    [](const auto& info) { return std::string(info.param.name); });

// --- search results windows

std::string NumberedLines(int count, std::initializer_list<int> hits) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    bool hit = false;
    for (int h : hits) hit = hit || h == i;
    text += "line " + std::to_string(i) + (hit ? " cash TOTAL" : " item") + "\r\n";
  }
  return text;
}

TEST_F(LogViewer, ResultsWindowListsTheEntriesWithTheFirstSelected) {
  Open("journal.txt", NumberedLines(15, {0, 5, 12}));
  Search("total");
  viewer->btnFindAllClick(viewer->btnFindAll);
  fwtest::PumpFor(50);
  ASSERT_EQ(Results().size(), 1u);
  TfrmCaptureSearchResults* results = Results()[0];
  EXPECT_EQ(results->Caption(), "Search Results");
  EXPECT_EQ(results->lblTitle->Caption(), "Search Results - journal.txt");
  EXPECT_EQ(results->Width(), 553);
  EXPECT_EQ(results->Height(), 371);
  EXPECT_TRUE(IsWindowVisible(results->Handle()));
  EXPECT_EQ(GetWindow(results->Handle(), GW_OWNER), viewer->Handle());
  EXPECT_EQ(results->lstResults->Items().Strings(),
            (std::vector<std::string>{"0     line 0 cash TOTAL", "5     line 5 cash TOTAL",
                                      "12     line 12 cash TOTAL"}));
  EXPECT_EQ(results->lstResults->ItemIndex(), 0);
  EXPECT_TRUE(results->btnGoTo->Default());
  EXPECT_TRUE(results->btnPrint->Enabled());
  EXPECT_TRUE(results->PrintPreview1->Enabled());
  const int half = results->pnlBottom->ClientWidth() / 2;
  EXPECT_EQ(results->btnPrint->Left(), half - 150);
  EXPECT_EQ(results->btnClose->Left(), half + 75);
  EXPECT_EQ(results->btnGoTo->Left(), half - results->btnGoTo->Width() / 2);
}

TEST_F(LogViewer, GoToLineSelectsTheFirstHitFromThatLineAndRestoresTheSearchText) {
  const std::string text = NumberedLines(15, {0, 5, 12});
  Open("journal.txt", text);
  Search("total");
  viewer->btnFindAllClick(viewer->btnFindAll);
  ASSERT_EQ(Results().size(), 1u);
  TfrmCaptureSearchResults* results = Results()[0];
  // The user has gone on to search for something else meanwhile.
  Search("item");
  viewer->btnSearchClick(viewer->btnSearch);
  EXPECT_TRUE(viewer->btnAgain->Default());
  results->lstResults->SetItemIndex(1);
  results->btnGoToClick(results->btnGoTo);
  const size_t hit = text.find("TOTAL", text.find("line 5 "));
  EXPECT_EQ(Selection(), std::make_pair(static_cast<int>(hit), 5));
  EXPECT_EQ(viewer->edtSearch->Text(), "item");
  EXPECT_TRUE(viewer->btnAgain->Default());
  EXPECT_FALSE(viewer->btnSearch->Default());
  EXPECT_FALSE(viewer->btnClose->Default());
}

TEST_F(LogViewer, GoToLineOnTheLastHitWithNoLaterHitAsksAboutTheEnd) {
  // The viewer shows another file by now, whose only hit lies before line 5.
  Open("journal.txt", NumberedLines(15, {0, 5, 12}));
  Search("total");
  viewer->btnFindAllClick(viewer->btnFindAll);
  TfrmCaptureSearchResults* results = Results().at(0);
  Open("other.txt", NumberedLines(15, {2}));
  results->lstResults->SetItemIndex(1);
  fwtest::BoxAnswerer yes(fw::mrYes);
  results->btnGoToClick(results->btnGoTo);
  ASSERT_EQ(yes.boxes.size(), 1u);
  EXPECT_EQ(yes.boxes[0].Text, "Reached end of document, do you want to continue from the begininning?");
  // Yes: Find First with the window's search text.
  const std::string text = viewer->memLog->Text();
  EXPECT_EQ(Selection(), std::make_pair(static_cast<int>(text.find("TOTAL")), 5));
  EXPECT_EQ(viewer->edtSearch->Text(), "total");
}

TEST_F(LogViewer, GoToLineBeyondTheViewersTextDoesNothing) {
  Open("journal.txt", NumberedLines(15, {0, 5, 12}));
  Search("total");
  viewer->btnFindAllClick(viewer->btnFindAll);
  TfrmCaptureSearchResults* results = Results().at(0);
  Open("short.txt", "one\r\ntwo total");
  viewer->memLog->SelectRange(2, 1);
  results->lstResults->SetItemIndex(2);
  fwtest::BoxAnswerer yes(fw::mrYes);
  results->btnGoToClick(results->btnGoTo);
  viewer->New1Click(viewer->New1);
  results->btnGoToClick(results->btnGoTo);
  EXPECT_TRUE(yes.boxes.empty());
  EXPECT_EQ(viewer->memLog->Text(), "");
  EXPECT_EQ(viewer->edtSearch->Text(), "total");
}

TEST_F(LogViewer, SeveralResultsWindowsKeepTheirOwnSearchText) {
  const std::string text = "cash 1\r\ntotal 2\r\ncash 3\r\ntotal 4\r\n";
  Open("journal.txt", text);
  Search("total");
  viewer->btnFindAllClick(viewer->btnFindAll);
  Search("cash");
  viewer->btnFindAllClick(viewer->btnFindAll);
  ASSERT_EQ(Results().size(), 2u);
  TfrmCaptureSearchResults* totals = Results()[0];
  TfrmCaptureSearchResults* cash = Results()[1];
  EXPECT_EQ(totals->SearchText(), "total");
  EXPECT_EQ(cash->SearchText(), "cash");
  Search("");
  totals->lstResults->SetItemIndex(1);
  totals->btnGoToClick(totals->btnGoTo);
  EXPECT_EQ(Selection(), std::make_pair(static_cast<int>(text.find("total 4")), 5));
  cash->lstResults->SetItemIndex(1);
  cash->btnGoToClick(cash->btnGoTo);
  EXPECT_EQ(Selection(), std::make_pair(static_cast<int>(text.find("cash 3")), 4));
  EXPECT_EQ(viewer->edtSearch->Text(), "");
  EXPECT_TRUE(viewer->btnClose->Default());
  EXPECT_FALSE(viewer->btnSearch->Enabled());
}

TEST_F(LogViewer, DoubleClickEnterAndCtrlGGoToTheSelectedLine) {
  const std::string text = "total 0\r\nx\r\ntotal 2\r\n";
  Open("journal.txt", text);
  Search("total");
  viewer->btnFindAllClick(viewer->btnFindAll);
  TfrmCaptureSearchResults* results = Results().at(0);
  results->lstResults->SetItemIndex(1);
  results->lstResults->DblClick();
  EXPECT_EQ(Selection(), std::make_pair(static_cast<int>(text.find("total 2")), 5));
  viewer->memLog->SelectRange(0, 0);
  results->lstResults->SetFocus();
  fwtest::PostKey(results->lstResults->Handle(), 'G', true);
  fwtest::PumpFor(50);
  fwtest::ReleaseModifiers();
  EXPECT_EQ(Selection(), std::make_pair(static_cast<int>(text.find("total 2")), 5));
  viewer->memLog->SelectRange(0, 0);
  fwtest::PostKey(results->lstResults->Handle(), VK_RETURN);
  fwtest::PumpFor(50);
  EXPECT_EQ(Selection(), std::make_pair(static_cast<int>(text.find("total 2")), 5));
}

TEST_F(LogViewer, CloseFreesTheResultsWindow) {
  Open("journal.txt", "total\r\n");
  Search("total");
  viewer->btnFindAllClick(viewer->btnFindAll);
  TfrmCaptureSearchResults* results = Results().at(0);
  HWND window = results->Handle();
  results->btnClose->Click();
  fwtest::PumpFor(50);
  EXPECT_TRUE(Results().empty());
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(LogViewer, ResultsWindowsCloseWithTheViewer) {
  Open("journal.txt", "total\r\ncash\r\n");
  Search("total");
  viewer->btnFindAllClick(viewer->btnFindAll);
  Search("cash");
  viewer->btnFindAllClick(viewer->btnFindAll);
  std::vector<HWND> windows;
  for (auto* results : Results()) windows.push_back(results->Handle());
  ASSERT_EQ(windows.size(), 2u);
  viewer.reset();
  fwtest::PumpFor(20);
  for (HWND window : windows) EXPECT_FALSE(IsWindow(window));
}

TEST(LogViewerModal, ResultsWindowsOpenedWhileModalAreUsableAndCloseWithIt) {
  WriteBytes("modal.txt", "total\r\nx\r\ntotal\r\n");
  ResultsWindowsAside resultsAside;
  auto viewer = std::make_unique<TfrmCaptureViewLogs>(nullptr);
  PlaceAside(*viewer);
  viewer->OpenFile(test_support::FullPath("modal.txt"));
  viewer->edtSearch->SetText("total");
  HWND resultsWindow = nullptr;
  bool enabled = false;
  fw::TTimer timer(nullptr);
  timer.SetInterval(100);
  timer.OnTimer = [&](fw::TComponent*) {
    timer.SetEnabled(false);
    viewer->btnFindAllClick(viewer->btnFindAll);
    for (fw::TComponent* component : viewer->Components())
      if (auto* results = dynamic_cast<TfrmCaptureSearchResults*>(component))
        resultsWindow = results->Handle();
    enabled = resultsWindow && IsWindowEnabled(resultsWindow);
    viewer->btnClose->Click();
  };
  EXPECT_EQ(viewer->ShowModal(), fw::mrCancel);
  EXPECT_TRUE(enabled);
  ASSERT_TRUE(IsWindow(resultsWindow));
  viewer.reset();
  EXPECT_FALSE(IsWindow(resultsWindow));
}

// --- screenshots

// Dark (text) pixels inside a rectangle given in window coordinates.
int DarkPixels(const test_support::Pixels& pixels, const RECT& inside) {
  int dark = 0;
  for (int y = inside.top; y < inside.bottom; ++y)
    for (int x = inside.left; x < inside.right; ++x) {
      const uint32_t p = pixels.At(x, y);
      if (((p >> 16) & 0xFF) < 80 && ((p >> 8) & 0xFF) < 80 && (p & 0xFF) < 80) ++dark;
    }
  return dark;
}

RECT ClientRectIn(HWND control, const RECT& window) {
  RECT client;
  GetClientRect(control, &client);
  MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return {client.left - window.left, client.top - window.top, client.right - window.left,
          client.bottom - window.top};
}

TEST_F(LogViewer, ViewerAndResultsWindowAreSavedAsScreenshots) {
  std::string journal;
  for (int receipt = 1; receipt <= 6; ++receipt) {
    journal += "   QUORVANE CAFE          #" + std::to_string(1000 + receipt) + "\r\n";
    journal += "COFFEE               2.40\n";
    journal += "BAGEL                3.15\n";
    journal += "SUB TOTAL            5.55\r\n";
    journal += "TOTAL                5.55\r\n";
    journal += "CASH                10.00\r\n\n";
  }
  Open("20_06_2026_1.txt", journal);
  // As clear of the other tests' windows as two windows this size can be.
  viewer->SetBounds(0, 582, viewer->Width(), viewer->Height());
  Search("total");
  viewer->btnSearchClick(viewer->btnSearch);
  viewer->btnFindAllClick(viewer->btnFindAll);
  TfrmCaptureSearchResults* results = Results().at(0);
  results->SetBounds(642, 653, results->Width(), results->Height());
  fwtest::PumpFor(400);

  RECT area;
  GetWindowRect(viewer->Handle(), &area);
  test_support::Pixels pixels = test_support::CaptureWindow(viewer->Handle());
  EXPECT_TRUE(test_support::SaveBitmap("..\\log_viewer.bmp", pixels));
  EXPECT_GT(DarkPixels(pixels, ClientRectIn(viewer->memLog->Handle(), area)), 200);

  GetWindowRect(results->Handle(), &area);
  pixels = test_support::CaptureWindow(results->Handle());
  EXPECT_TRUE(test_support::SaveBitmap("..\\search_results.bmp", pixels));
  EXPECT_GT(DarkPixels(pixels, ClientRectIn(results->lstResults->Handle(), area)), 200);
  EXPECT_GT(DarkPixels(pixels, ClientRectIn(results->lblTitle->Handle(), area)), 50);
}

}  // namespace

namespace {

// How many of this thread's visible windows bear the caption.
int VisibleWindowsCaptioned(const std::string& caption) {
  struct Count {
    std::string caption;
    int windows = 0;
  } count{caption};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) {
        auto* count = reinterpret_cast<Count*>(data);
        char text[128] = {};
        GetWindowTextA(window, text, sizeof text);
        if (IsWindowVisible(window) && count->caption == text) ++count->windows;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.windows;
}

// The report engine for one test, as the program starts it.
struct ReportEngine {
  ReportEngine() { report::StartReportEngine(); }
  ~ReportEngine() { report::FinishReportEngine(); }
};

TEST_F(LogViewer, PrintPreviewShowsTheListAndHoldsTheWindowsOpenUntilItCloses) {
  ReportEngine engine;
  TfrmCaptureSearchResults* results = FindAllIn("journal.txt", "total 1\r\ncash\r\nTOTAL 2\r\ntotal 3\r\n", "total");
  EXPECT_TRUE(results->btnPrint->Enabled());
  EXPECT_TRUE(results->PrintPreview1->Enabled());
  HWND preview = nullptr;
  std::string status, progress = "not read";
  int previewsWhileOpen = 0;
  fwtest::BoxAnswerer ok(fw::mrOk);
  fw::TTimer timer(nullptr);
  timer.SetInterval(300);
  timer.OnTimer = [&](fw::TComponent*) {
    preview = FindWindowA(nullptr, "Search Results - journal.txt");
    auto* form = dynamic_cast<report::TQRStandardPreview*>(fw::TControl::FromHandle(preview));
    // On a loaded machine the run may still be storing its page.
    if (form && form->Producer() && form->Producer()->Status() != report::TQRStatus::qsFinished) return;
    timer.SetEnabled(false);
    if (form) {
      fwtest::PumpFor(300);
      status = form->PanelText(1);
      progress = form->PanelText(0);
      test_support::SaveBitmap("..\\search_results_preview.bmp", test_support::CaptureWindow(preview));
      // A second preview does nothing; the results window and the viewer stay.
      results->btnPrintClick(results->btnPrint);
      results->btnClose->Click();
      viewer->btnClose->Click();
      fwtest::PumpFor(50);
      previewsWhileOpen = VisibleWindowsCaptioned("Search Results - journal.txt");
      form->Close();
    }
  };
  timer.SetEnabled(true);
  results->btnPrintClick(results->btnPrint);
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(status, "Page 1 of 1");
  // The run went through all of its entries: the progress shown is cleared.
  EXPECT_EQ(progress, "");
  EXPECT_EQ(previewsWhileOpen, 1);
  ASSERT_EQ(ok.boxes.size(), 2u);
  for (const auto& box : ok.boxes) {
    EXPECT_EQ(box.Text, "Must close Print Preview First");
    EXPECT_EQ(box.Type, fw::TMsgDlgType::mtWarning);
  }
  EXPECT_FALSE(results->Busy());
  ASSERT_EQ(Results().size(), 1u);
  fwtest::PumpFor(50);
  EXPECT_FALSE(IsWindow(preview));
  // Once the preview is closed the window closes as before.
  results->btnClose->Click();
  fwtest::PumpFor(50);
  EXPECT_TRUE(Results().empty());
}

}  // namespace

namespace {

// Counts the Ctrl+P presses that reach this thread's windows.
class CtrlPCounter {
 public:
  CtrlPCounter() {
    count_ = 0;
    hook_ = SetWindowsHookExA(WH_KEYBOARD, Hook, nullptr, GetCurrentThreadId());
  }
  ~CtrlPCounter() { UnhookWindowsHookEx(hook_); }
  CtrlPCounter(const CtrlPCounter&) = delete;
  CtrlPCounter& operator=(const CtrlPCounter&) = delete;
  int Count() const { return count_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM key, LPARAM flags) {
    const bool pressed = (flags & 0x80000000) == 0 && (flags & 0x40000000) == 0;
    if (code == HC_ACTION && key == 'P' && pressed && (GetKeyState(VK_CONTROL) & 0x8000)) ++count_;
    return CallNextHookEx(nullptr, code, key, flags);
  }
  static inline int count_ = 0;
  HHOOK hook_;
};

TEST_F(LogViewer, CtrlPTypedInTheResultsOpensThePreviewAndAgainWhileItIsOpenDoesNothing) {
  ReportEngine engine;
  TfrmCaptureSearchResults* results = FindAllIn("journal.txt", "total 1\r\ncash\r\nTOTAL 2\r\n", "total");
  const auto focusResults = [&] {
    SetForegroundWindow(results->Handle());
    results->lstResults->SetFocus();
    fwtest::PumpFor(100);
    return GetFocus() == results->lstResults->Handle();
  };
  ASSERT_TRUE(focusResults());
  fwtest::BoxAnswerer ok(fw::mrOk);
  CtrlPCounter presses;
  int ticksSinceSecondPress = -1;
  int pressesBefore = 0;
  bool focusedAgain = false;
  int previewsAfterSecondPress = -1;
  int pressesWhileOpen = 0;
  fw::TTimer timer(nullptr);
  timer.SetInterval(100);
  timer.OnTimer = [&](fw::TComponent*) {
    auto* form = dynamic_cast<report::TQRStandardPreview*>(
        fw::TControl::FromHandle(FindWindowA(nullptr, "Search Results - journal.txt")));
    if (!form) return;
    if (ticksSinceSecondPress < 0) {
      // The preview is open, its handler still running: Ctrl+P once more.
      ticksSinceSecondPress = 0;
      pressesBefore = presses.Count();
      focusedAgain = focusResults();
      if (focusedAgain) fwtest::TypeKey('P', true);
      return;
    }
    // The keys take their way through the system's input queue.
    if (presses.Count() == pressesBefore && ++ticksSinceSecondPress < 30) return;
    timer.SetEnabled(false);
    fwtest::PumpFor(100);
    pressesWhileOpen = presses.Count() - pressesBefore;
    previewsAfterSecondPress = VisibleWindowsCaptioned("Search Results - journal.txt");
    form->Close();
  };
  timer.SetEnabled(true);
  fwtest::TypeKey('P', true);
  // The preview runs inside the key's handling and returns when it closes.
  for (const DWORD start = GetTickCount(); timer.Enabled() && GetTickCount() - start < 30000;) fwtest::PumpFor(20);
  ASSERT_FALSE(timer.Enabled()) << "no preview came";
  fwtest::PumpFor(100);
  EXPECT_TRUE(focusedAgain) << "the results window did not take the focus back from the preview";
  EXPECT_EQ(pressesWhileOpen, 1) << "the second Ctrl+P did not reach the results window";
  EXPECT_EQ(previewsAfterSecondPress, 1);
  EXPECT_TRUE(ok.boxes.empty());
  EXPECT_FALSE(results->Busy());
  EXPECT_EQ(VisibleWindowsCaptioned("Search Results - journal.txt"), 0);
}

TEST_F(LogViewer, PrintFromThePreviewPrintsEveryMatchingLineOnLetterPages) {
  ReportEngine engine;
  test_support::PdfOutput output;
  const std::string stem = test_support::PdfOutput::UniqueTitle("results");
  std::string journal;
  for (int i = 0; i < 200; ++i) journal += "line " + std::to_string(i) + (i % 2 ? " cash\r\n" : " total\r\n");
  Open(stem + ".txt", journal);
  Search("total");
  viewer->btnFindAllClick(viewer->btnFindAll);
  TfrmCaptureSearchResults* results = Results().at(0);
  bool progressSeen = false;
  std::string status;
  fw::TTimer watch(nullptr);
  watch.SetInterval(20);
  watch.OnTimer = [&](fw::TComponent*) {
    HWND progress = FindWindowA(nullptr, "Printing progress");
    if (!progressSeen && progress && IsWindowVisible(progress)) {
      progressSeen = true;
      test_support::SaveBitmap("..\\search_results_printing.bmp", test_support::CaptureWindow(progress));
    }
  };
  int step = 0;
  fw::TTimer timer(nullptr);
  timer.SetInterval(300);
  timer.OnTimer = [&](fw::TComponent*) {
    auto* form = dynamic_cast<report::TQRStandardPreview*>(
        fw::TControl::FromHandle(FindWindowA(nullptr, ("Search Results - " + stem + ".txt").c_str())));
    if (!form) return;
    if (step++ == 0) {
      // Print is refused while the preview's run still stores pages.
      if (form->Producer() && form->Producer()->Status() != report::TQRStatus::qsFinished) {
        step = 0;
        return;
      }
      status = form->PanelText(1);
      form->Click(report::QRPreviewButton::Print);
      return;
    }
    timer.SetEnabled(false);
    form->Close();
  };
  watch.SetEnabled(true);
  timer.SetEnabled(true);
  results->btnPrintClick(results->btnPrint);
  watch.SetEnabled(false);
  EXPECT_TRUE(progressSeen);
  const std::string pdf = output.WaitForPdf("*" + stem);
  const std::string info = output.Info(pdf);
  const int pages = test_support::PdfPageCount(info);
  EXPECT_GT(pages, 1);
  EXPECT_EQ(status, "Page 1 of " + std::to_string(pages));
  EXPECT_EQ(test_support::PdfPageSize(info), "612 x 792");
  // Blanks collapsed, every "total" line comes once and in order, no "cash" line.
  std::string text;
  for (char ch : output.Text(pdf))
    if (!std::isspace(static_cast<unsigned char>(ch)) || (!text.empty() && text.back() != ' '))
      text += std::isspace(static_cast<unsigned char>(ch)) ? ' ' : ch;
  size_t at = 0;
  for (int i = 0; i < 200; i += 2) {
    const std::string entry = std::to_string(i) + " line " + std::to_string(i) + " total";
    const size_t found = text.find(entry, at);
    ASSERT_NE(found, std::string::npos) << entry;
    at = found + entry.size();
  }
  EXPECT_EQ(text.find("cash"), std::string::npos);
  EXPECT_NE(text.find("Page: " + std::to_string(pages)), std::string::npos);
}

}  // namespace
