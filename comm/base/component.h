// Base of the non-visual communications components: a framework component
// that publishes the library's version text and checks result codes with its
// own loading state (codes are returned, not raised, while a form loads).
#pragma once

#include <string>

#include "comm/base/exceptions.h"
#include "framework/component.h"

namespace comm {

inline constexpr char kCvlVersion[] = "v2.57";

class TApdBaseComponent : public fw::TComponent {
 public:
  using fw::TComponent::TComponent;

  std::string CvlVersion() const { return kCvlVersion; }
  // A form description may carry a value; it is not stored.
  void SetCvlVersion(const std::string&) {}

 protected:
  int CheckCode(int code) const { return comm::CheckCode(Loading(), code); }
};

}  // namespace comm
