#include "setup/group_select/model.h"

#include <cctype>

#include "framework/format.h"

namespace setup {

std::int64_t OwnSize(const TFileContainer& container) {
  std::int64_t total = 0;
  for (const TInstallContainer* child : container.Children())
    if (auto* file = dynamic_cast<const TCustomInstallFile*>(child); file && file->IsIncluded())
      total += file->FileSize();
  return total;
}

std::int64_t SelectedSize(const TFileContainer& container) {
  std::int64_t total = OwnSize(container);
  for (const TInstallContainer* child : container.Children())
    if (auto* group = dynamic_cast<const TFileContainer*>(child); group && group->IsIncluded())
      total += SelectedSize(*group);
  return total;
}

void TDriveTable::Fill(const TFileContainer& root) {
  rows_.clear();
  Visit(root);
}

void TDriveTable::Visit(const TFileContainer& container) {
  const bool selected = container.IsIncluded();
  const std::string dir = container.GetDestDir();
  if (!dir.empty() && dir[0] != '\\')
    Add(static_cast<char>(std::toupper(static_cast<unsigned char>(dir[0]))), selected ? OwnSize(container) : 0);
  if (!selected) return;
  for (const TInstallContainer* child : container.Children())
    if (auto* group = dynamic_cast<const TFileContainer*>(child)) Visit(*group);
}

bool TDriveTable::Add(char letter, std::int64_t amount) {
  for (TDriveSpace& row : rows_)
    if (row.Letter[0] == letter) {
      row.Required += amount;
      return true;
    }
  if (static_cast<int>(rows_.size()) >= kMaxRows) return false;
  rows_.push_back({std::string(1, letter), amount, freeSpace_ ? freeSpace_(letter) : -1});
  return true;
}

std::int64_t FreeSpaceBytes(std::uint32_t sectorsPerCluster, std::uint32_t bytesPerSector,
                            std::uint32_t freeClusters) {
  // Two 32-bit factors fit 64 bits; the third may not, so it saturates.
  const std::uint64_t cluster = std::uint64_t{sectorsPerCluster} * bytesPerSector;
  if (cluster != 0 && freeClusters > static_cast<std::uint64_t>(INT64_MAX) / cluster) return INT64_MAX;
  return static_cast<std::int64_t>(cluster * freeClusters);
}

int DrivePanelHeight(int rows) { return rows > 2 ? 61 : rows * 18 + 25; }

std::string ByteCountText(std::int64_t bytes, std::string_view thousandSeparator, const std::string& bytesWord) {
  return fw::GroupedNumber(bytes, thousandSeparator) + " " + bytesWord;
}

bool FileGroupPageSkips(const TInstallContainer* container) {
  if (!container) return true;
  const TInstallType type = container->CurrentInstallType();
  return type != itAlways && type != itCustom;
}

TFileContainer& CheckedFileContainer(TInstallContainer* container, const std::string& name) {
  if (!container)
    throw IEFileGroupSelectForm("Cannot show the install file groups dialog for blank container property");
  auto* files = dynamic_cast<TFileContainer*>(container);
  if (!files) throw IEFileGroupSelectForm("Container is not a TFileContainer for %s", {name});
  return *files;
}

std::vector<int> OverlaidRows(const std::vector<TTreeRow>& rows, int treeHeight) {
  std::vector<int> overlaid;
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const TTreeRow& row = rows[i];
    if (!row.Shown || row.Top < 0) continue;
    if (row.Top > treeHeight) break;
    overlaid.push_back(i);
  }
  return overlaid;
}

}  // namespace setup
