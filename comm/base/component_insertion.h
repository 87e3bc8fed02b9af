// Binding components to each other by kind. A component's base constructor
// tells its owner's tree of the insertion before the rest of the component
// exists, so a listener cannot tell a port from a call log at that moment.
// Components that others bind to by kind therefore announce themselves again
// once they are built, and the listeners hear it here.
#pragma once

#include "framework/component.h"

namespace comm {

class InsertionListener {
 public:
  virtual ~InsertionListener() = default;
  virtual void ComponentInserted(fw::TComponent& component) = 0;
};

// Tells the owner of `component` and every component of the owner's tree
// (depth first), as the framework's insert notification goes.
void AnnounceInserted(fw::TComponent& component);

// The first component of `owner`'s tree, depth first (a component's own
// components before its next sibling), that is a `T` and passes `accept`;
// nullptr when none is.
template <class T, class Accept>
T* FindFirstComponent(const fw::TComponent& owner, Accept accept) {
  for (fw::TComponent* component : owner.Components()) {
    if (auto* match = dynamic_cast<T*>(component); match && accept(*match)) return match;
    if (T* inner = FindFirstComponent<T>(*component, accept)) return inner;
  }
  return nullptr;
}

template <class T>
T* FindFirstComponent(const fw::TComponent& owner) {
  return FindFirstComponent<T>(owner, [](const T&) { return true; });
}

}  // namespace comm
