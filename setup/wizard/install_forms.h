// The arithmetic of the installer's small forms: the nested status messages,
// the status window's width and place, the percentages of the copy bars and
// the pace at which the copy form shows them.
#pragma once

#include <cstdint>
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

// The copy form follows progress that comes every few kilobytes; painting
// each step would cost more than the copy. It shows the first step, then at
// most one per interval, and always the last one.
class TPaintPace {
 public:
  explicit TPaintPace(std::uint32_t intervalMs = 80) : interval_(intervalMs) {}
  // Whether the step at `nowMs` (a millisecond count that may wrap) is shown.
  bool Due(std::uint32_t nowMs, bool last);

 private:
  std::uint32_t interval_;
  std::optional<std::uint32_t> shown_;
};

}  // namespace setup
