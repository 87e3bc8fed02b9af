#include "comm/base/component_insertion.h"

#include <algorithm>
#include <vector>

namespace comm {
namespace {

void Tell(fw::TComponent& listener, fw::TComponent& inserted) {
  if (&listener != &inserted) {
    if (auto* target = dynamic_cast<InsertionListener*>(&listener)) target->ComponentInserted(inserted);
  }
  // A copy: a listener may create or free components of the tree.
  const std::vector<fw::TComponent*> children = listener.Components();
  for (fw::TComponent* child : children) {
    const auto& now = listener.Components();
    if (child == &inserted || std::find(now.begin(), now.end(), child) == now.end()) continue;
    Tell(*child, inserted);
  }
}

}  // namespace

void AnnounceInserted(fw::TComponent& component) {
  if (fw::TComponent* owner = component.Owner()) Tell(*owner, component);
}

}  // namespace comm
