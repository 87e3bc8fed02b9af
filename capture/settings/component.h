// Base of the support library's components: they publish the library's
// version, which reads the same whatever is written to it.
#pragma once

#include <string>

#include "framework/component.h"

namespace capture {

class TStComponent : public fw::TComponent {
 public:
  explicit TStComponent(fw::TComponent* owner) : fw::TComponent(owner) {}
  std::string Version() const { return "2.03"; }
  void SetVersion(const std::string&) {}
};

}  // namespace capture
