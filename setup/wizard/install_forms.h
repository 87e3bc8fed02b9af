// The arithmetic of the installer's small forms: the nested status messages,
// the status window's width and place, and the percentages of the copy bars.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace setup {

// Status messages nest: each new one is shown over the one before, and
// closing it shows that one again.
class TStatusStack {
 public:
  // The text to show.
  const std::string& Push(const std::string& text);
  // The text to show again, or nothing when the window is to be hidden.
  std::optional<std::string> Pop();
  bool Empty() const { return lines_.empty(); }

 private:
  std::vector<std::string> lines_;
};

// The status window is as wide as its text plus the designed left offsets of
// its panels and label, and 25 pixels of margin.
int StatusFormWidth(int textWidth, int backLeft, int messageLeft, int labelLeft);

// Progress as a bar shows it: 0..100 (archived sizes that do not match the
// files can give more than 100).
int ClampPercent(long long percent);

}  // namespace setup
