// Components: objects with an owner that frees them, a name, a tag, a loading
// state and notifications when a component of the same tree comes or goes.
// Plain C++: non-visual components of the core build on it too.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace fw {

class TComponent;

// Events are method pointers: a std::function that the owner of the event can
// read, keep, replace and restore. Chain() builds a handler that runs the old
// one first and then the new one.
using TNotifyEvent = std::function<void(TComponent* sender)>;

template <class... Args>
std::function<void(Args...)> Chain(std::function<void(Args...)> first, std::function<void(Args...)> second) {
  if (!first) return second;
  if (!second) return first;
  return [first = std::move(first), second = std::move(second)](Args... args) {
    first(args...);
    second(args...);
  };
}

enum class TOperation { opInsert, opRemove };

// A text property a component publishes, read and written by name (for
// translating every text of a form without knowing its classes).
struct TStringProperty {
  std::string Name;
  std::function<std::string()> Get;
  std::function<void(const std::string&)> Set;
};

// Component states; "designing" exists for callers that ask, and is never set.
enum TComponentStateFlag : unsigned { csLoading = 1, csDestroying = 2, csDesigning = 4 };

class TComponent {
 public:
  explicit TComponent(TComponent* owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  // Owned components in creation order.
  const std::vector<TComponent*>& Components() const { return components_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Component(int index) const { return components_.at(static_cast<size_t>(index)); }
  // Moves this component to another owner (it keeps its name).
  void ChangeOwner(TComponent* newOwner);

  const std::string& Name() const { return name_; }
  // The class's own name as the program knows it, for the few places that
  // recognise a component by its class name.
  virtual std::string ClassName() const { return "TComponent"; }
  // Names are unique among the components of one owner (case-insensitive); an
  // empty name is always allowed.
  virtual void SetName(const std::string& name);
  long long Tag = 0;

  unsigned ComponentState() const { return state_; }
  bool Loading() const { return (state_ & csLoading) != 0; }
  bool Destroying() const { return (state_ & csDestroying) != 0; }

  // Direct owned component by name (case-insensitive), or null.
  TComponent* FindComponent(const std::string& name) const;
  // Depth-first search through owned components and theirs.
  TComponent* FindComponentDeep(const std::string& name) const;

  // Asks `other` to tell this component (through Notification(opRemove)) when
  // it is freed, although the two belong to different owners.
  void FreeNotification(TComponent* other);
  void RemoveFreeNotification(TComponent* other);

  // The component's text properties; the base has its Name.
  virtual void StringProperties(std::vector<TStringProperty>& properties);
  // Case-insensitive by name; nothing / false when the component has none.
  std::optional<std::string> GetStringProperty(const std::string& name);
  bool SetStringProperty(const std::string& name, const std::string& value);

  // Copies the state of another component; the base knows no state to copy.
  virtual void Assign(const TComponent& source);

  // Loading bracket (see FormLoading). A component created while its owner
  // loads is loading too. Loaded() runs once every component of the
  // description exists and every property and reference is set; overrides
  // call the base first.
  void BeginLoading() { state_ |= csLoading; }
  virtual void Loaded() { state_ &= ~csLoading; }
  void EndLoadingQuietly() { state_ &= ~csLoading; }
  // Runs once the whole description has loaded: after every Loaded(), the
  // root's too. For work that needs every component finished.
  virtual void AllLoaded() {}

  // Frees the owned components now, in creation order; a derived destructor
  // calls it while its own members still exist.
  void DestroyComponents();

 protected:
  // Sent to every component of the owner's tree when a component is inserted
  // into or removed from it, and to components that asked for free notification.
  virtual void Notification(TComponent* component, TOperation operation);

  // Called at the top of a derived destructor that must act on it (the base
  // destructor sets it anyway).
  void MarkDestroying() { state_ |= csDestroying; }

 private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void NotifyTree(TComponent* component, TOperation operation);
  bool NameTaken(const std::string& name) const;

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  std::string name_;
  unsigned state_ = 0;
};

// The loading bracket of a form description. Created first in the form's
// constructor (or by whoever builds a component tree), it marks the root and
// every component owned by it as loading while properties are set; references
// between components are recorded by name and fixed up in End(), after every
// component exists; then Loaded() runs on each component in creation order,
// the root last.
class FormLoading {
 public:
  explicit FormLoading(TComponent& root);
  ~FormLoading();
  FormLoading(const FormLoading&) = delete;
  FormLoading& operator=(const FormLoading&) = delete;

  // A reference to a component by name, resolved in End() through the root's
  // components (depth-first). An unknown name is an error.
  void Refer(std::string name, std::function<void(TComponent*)> bind);
  void End();

 private:
  struct Reference {
    std::string name;
    std::function<void(TComponent*)> bind;
  };
  TComponent& root_;
  std::vector<Reference> references_;
  bool ended_ = false;
};

}  // namespace fw
