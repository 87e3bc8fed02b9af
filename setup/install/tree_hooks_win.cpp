#include "setup/install/tree_hooks_win.h"

#include "framework/application.h"
#include "setup/install/file_replace_win.h"
#include "setup/install/install_tree.h"

namespace setup {

void UseSystemTreeHooks() {
  auto& hooks = TreeHooks();
  hooks.ShowBusyCursor = [] {
    const fw::TCursor previous = fw::Screen()->Cursor();
    fw::Screen()->SetCursor(fw::crHourGlass);
    return previous;
  };
  hooks.RestoreCursor = [](int cursor) { fw::Screen()->SetCursor(cursor); };
  hooks.ArchiveAborted = [] { return SharedArchiveAborted(); };
  hooks.ArchiveStarting = [] { SharedArchiveAborted() = false; };
}

}  // namespace setup
