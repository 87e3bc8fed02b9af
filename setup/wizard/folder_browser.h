// The folder browser's own arithmetic: where its added create button and
// path edit go among the browser's controls, which folder it opens on, and
// which names a new folder may have.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace setup {

// A rectangle in the browser's client coordinates.
struct TBrowserRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TBrowserRect& o) const {
    return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
  }
};

// What the browser's window shows: its tree, OK and Cancel, each measured
// when it exists.
struct TBrowserControls {
  std::optional<TBrowserRect> Tree, Ok, Cancel;
};

// The create button: one button pitch left of OK and 22 pixels higher,
// stretched left to the tree's left edge.
TBrowserRect CreateButtonPlace(const TBrowserControls& controls);

struct TPathEditPlace {
  TBrowserRect Edit;                 // top, left and width; the height is the edit's own
  std::optional<TBrowserRect> Tree;  // the tree, made room for the edit under it
};
TPathEditPlace PathEditPlace(const TBrowserControls& controls);

using TFolderExists = std::function<bool(const std::string& path)>;

// The folder the browser is moved to for path: the nearest existing folder
// (path itself, else path cut before its last backslash, repeatedly), with
// a root backslash on a bare drive and no trailing backslash otherwise.
// Nothing for a blank path or when no level exists: an empty selection
// would select the shell's root, whose path is empty.
std::optional<std::string> BrowserSelection(const std::string& path, const TFolderExists& exists);

// A name typed for a new folder is one level under the current folder: no
// path separator, drive colon, control or reserved character, and not blank,
// "." or "..".
bool ValidNewFolderName(const std::string& name);

// A path that names one folder whatever folder is current: a drive, a colon
// and a backslash, or "\\server\share". "foo", "D:foo" and "\foo" lean on
// the current folder or drive.
bool FullyQualifiedPath(const std::string& path);

}  // namespace setup
