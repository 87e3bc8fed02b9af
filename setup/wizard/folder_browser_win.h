// The shell's folder browser with two controls of our own added to its
// window: a button that creates a new folder and an edit that shows the
// selected path and takes a typed one.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <exception>
#include <functional>
#include <string>

#include "framework/component.h"
#include "setup/wizard/folder_browser.h"

namespace setup {

class TOpenFolderDialog;

// Texts of the system's own libraries, with our wording where a library
// has none (Wine's have none of them).
struct TOFDResourceStrings {
  static std::string CreateButtonCaption();  // "Make New Folder"
  static std::string NewFolderPrompt();      // "Type the name of a new folder"
  static std::string BrowserTitle();         // "Browse for Folder"
};

// The controls added to the browser know their dialog.
struct TOFDCreateButton {
  TOpenFolderDialog* Dialog = nullptr;
  HWND Handle = nullptr;
};
struct TOFDPathEdit {
  TOpenFolderDialog* Dialog = nullptr;
  HWND Handle = nullptr;
};

class TOpenFolderDialog : public fw::TComponent {
 public:
  explicit TOpenFolderDialog(fw::TComponent* owner) : fw::TComponent(owner) {}
  std::string ClassName() const override { return "TOpenFolderDialog"; }

  // The starting folder on input, the chosen one after a True result.
  std::string Directory;
  bool ShowCreateButton = true;
  bool ShowPathEdit = true;
  // Asked before a folder is created; setting allow false stops it.
  std::function<void(TOFDCreateButton* sender, bool& allow)> OnCreateFolder;

  // Runs the browser; true when a folder was chosen (and, with the path
  // edit, exists). An empty path on OK is no choice.
  bool Execute();
  // Moves the browser's selection to the nearest existing folder of path.
  void SelectPath(const std::string& path);

  // While browsing: the browser window and the path of its selection.
  HWND Window() const { return window_; }
  const std::string& CurrentPath() const { return currentPath_; }
  const TOFDCreateButton& CreateButton() const { return createButton_; }
  const TOFDPathEdit& PathEdit() const { return pathEdit_; }

 private:
  friend struct TOpenFolderDialogAccess;
  bool Browse();
  void Initialized(HWND window);
  void SelectionChanged(LPCITEMIDLIST item);
  void PathTyped();
  void CreateClicked();
  // False keeps the browser open.
  bool OkPressed();
  // An exception in a handler called back from the browser closes the
  // browser and is raised again by Execute.
  void Guard(const std::function<void()>& handler);

  HWND window_ = nullptr, tree_ = nullptr, ok_ = nullptr, cancel_ = nullptr;
  TBrowserControls rects_;
  TOFDCreateButton createButton_;
  TOFDPathEdit pathEdit_;
  WNDPROC browserProc_ = nullptr, editProc_ = nullptr;
  std::string currentPath_;
  bool restart_ = false, selecting_ = false, pushing_ = false;
  std::exception_ptr error_;
};

}  // namespace setup
