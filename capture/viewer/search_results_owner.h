// What a search results window needs of the window that opened it: going to
// one of its hits. The results window knows its owner only through this, so
// the log viewer depends on the results window and not the other way round.
#pragma once

#include <cstddef>
#include <string>

namespace capture {

class SearchResultsOwner {
 public:
  virtual ~SearchResultsOwner() = default;
  // Puts the caret at the start of `line`, finds the next `searchText` from
  // there as Find Next does, and comes to the front. A line the owner no
  // longer has (it may show another file by now) is left alone.
  virtual void GoToLine(size_t line, const std::string& searchText) = 0;
};

}  // namespace capture
