// What the component selection page shows, without a window: the sizes of
// the file groups the user selected, the space they need on each drive
// against the space there is, and which rows of the group tree get a check
// box and a size label.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "setup/install/install_tree.h"

namespace setup {

// The sizes of the container's own selected files.
std::int64_t OwnSize(const TFileContainer& container);
// Own size plus the selected size of every selected child container. It does
// not depend on the container's own selection.
std::int64_t SelectedSize(const TFileContainer& container);

struct TDriveSpace {
  std::string Letter;
  std::int64_t Required = 0;
  std::int64_t Available = 0;  // -1 when the drive could not be asked
  bool Warns() const { return Required >= Available; }
};

// The space the selection needs per drive, one row per distinct drive
// letter in the order the letters are met.
class TDriveTable {
 public:
  static constexpr int kMaxRows = 25;
  // Free bytes on the drive of the letter, or -1.
  using FreeSpaceQuery = std::function<std::int64_t(char letter)>;
  explicit TDriveTable(FreeSpaceQuery freeSpace) : freeSpace_(std::move(freeSpace)) {}

  // Walks the containers depth-first from root, descending only into
  // selected ones. A blank or network ("\...") destination adds no row.
  void Fill(const TFileContainer& root);
  // Adds to the letter's row; a letter new to a full table is left out
  // (false), so the table never holds more than kMaxRows rows.
  bool Add(char letter, std::int64_t amount);
  const std::vector<TDriveSpace>& Rows() const { return rows_; }

 private:
  void Visit(const TFileContainer& container);
  FreeSpaceQuery freeSpace_;
  std::vector<TDriveSpace> rows_;
};

// Bytes free from the counts the system reports, in 64 bits.
std::int64_t FreeSpaceBytes(std::uint32_t sectorsPerCluster, std::uint32_t bytesPerSector,
                            std::uint32_t freeClusters);

// The height of the drive list's panel for so many rows: 61 from three rows
// on (the list scrolls), else a header and 18 pixels a row.
int DrivePanelHeight(int rows);

// "3,500 Bytes": the count with grouped digits, a blank and the word.
std::string ByteCountText(std::int64_t bytes, std::string_view thousandSeparator, const std::string& bytesWord);

// The page is shown only after the custom setup type is chosen (or with a
// container that installs always).
bool FileGroupPageSkips(const TInstallContainer* container);

// The page's container as a file container; raises IEFileGroupSelectForm
// when it is missing or of another kind (name: the control asking).
TFileContainer& CheckedFileContainer(TInstallContainer* container, const std::string& name);

// A row of the tree as the overlay columns see it.
struct TTreeRow {
  bool Shown = false;  // the row has a display rectangle
  int Top = 0;
  int Bottom = 0;
};
// Indices of the rows that get an overlay control, in order: rows shown with
// a top not above the tree, up to the first whose top lies below its height.
std::vector<int> OverlaidRows(const std::vector<TTreeRow>& rows, int treeHeight);

}  // namespace setup
