#include "framework/component.h"

#include <algorithm>
#include <cctype>

#include "framework/exceptions.h"

namespace fw {

namespace {

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

bool ValidName(const std::string& name) {
  if (name.empty()) return true;
  auto identStart = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; };
  if (!identStart(name[0])) return false;
  return std::all_of(name.begin(), name.end(),
                     [&](char c) { return identStart(c) || std::isdigit(static_cast<unsigned char>(c)); });
}

}  // namespace

TComponent::TComponent(TComponent* owner) {
  if (owner) {
    if (owner->Loading()) state_ |= csLoading;
    owner->Insert(this);
  }
}

TComponent::~TComponent() {
  state_ |= csDestroying;
  // Everyone that asked to hear of our end hears it before we go.
  std::vector<TComponent*> notifies;
  notifies.swap(freeNotifies_);
  for (TComponent* other : notifies) {
    auto& list = other->freeNotifies_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    other->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->Remove(this);
}

void TComponent::DestroyComponents() {
  state_ |= csDestroying;
  while (!components_.empty()) delete components_.front();
}

void TComponent::Insert(TComponent* component) {
  components_.push_back(component);
  component->owner_ = this;
  NotifyTree(component, TOperation::opInsert);
}

void TComponent::Remove(TComponent* component) {
  components_.erase(std::remove(components_.begin(), components_.end(), component), components_.end());
  component->owner_ = nullptr;
  NotifyTree(component, TOperation::opRemove);
}

void TComponent::NotifyTree(TComponent* component, TOperation operation) {
  // A copy: a handler may free components of the tree.
  Notification(component, operation);
  std::vector<TComponent*> children = components_;
  for (TComponent* child : children) {
    if (child == component) continue;
    if (std::find(components_.begin(), components_.end(), child) == components_.end()) continue;
    child->NotifyTree(component, operation);
  }
}

void TComponent::ChangeOwner(TComponent* newOwner) {
  if (newOwner == owner_) return;
  if (newOwner && !name_.empty() && newOwner->NameTaken(name_))
    throw Exception("A component named " + name_ + " already exists");
  if (owner_) owner_->Remove(this);
  if (newOwner) newOwner->Insert(this);
}

bool TComponent::NameTaken(const std::string& name) const {
  return std::any_of(components_.begin(), components_.end(),
                     [&](const TComponent* c) { return SameText(c->name_, name); });
}

void TComponent::SetName(const std::string& name) {
  if (SameText(name, name_) && name.size() == name_.size()) {
    name_ = name;
    return;
  }
  if (!ValidName(name)) throw Exception("'" + name + "' is not a valid component name");
  if (!name.empty() && owner_ && owner_->NameTaken(name))
    throw Exception("A component named " + name + " already exists");
  name_ = name;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

TComponent* TComponent::FindComponentDeep(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_) {
    if (SameText(c->name_, name)) return c;
    if (TComponent* found = c->FindComponentDeep(name)) return found;
  }
  return nullptr;
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end()) {
    freeNotifies_.push_back(other);
    other->freeNotifies_.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  if (!other) return;
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), other), freeNotifies_.end());
  other->freeNotifies_.erase(std::remove(other->freeNotifies_.begin(), other->freeNotifies_.end(), this),
                             other->freeNotifies_.end());
}

void TComponent::Assign(const TComponent& source) {
  if (&source == this) return;
  throw EConvertError("Cannot assign a component of this kind");
}

void TComponent::Notification(TComponent*, TOperation) {}

// --- loading bracket

FormLoading::FormLoading(TComponent& root) : root_(root) { root_.BeginLoading(); }

FormLoading::~FormLoading() {
  if (ended_) return;
  // The description failed part way: no Loaded for a half-built tree.
  for (TComponent* c : root_.Components()) c->EndLoadingQuietly();
  root_.EndLoadingQuietly();
}

void FormLoading::Refer(std::string name, std::function<void(TComponent*)> bind) {
  references_.push_back({std::move(name), std::move(bind)});
}

void FormLoading::End() {
  if (ended_) return;
  for (const Reference& ref : references_) {
    TComponent* target = root_.FindComponentDeep(ref.name);
    if (!target) throw Exception("Invalid property value: component " + ref.name + " not found");
    ref.bind(target);
  }
  references_.clear();
  ended_ = true;
  // Loaded may create components (they start loaded): walk a copy.
  std::vector<TComponent*> components = root_.Components();
  for (TComponent* c : components) {
    const auto& now = root_.Components();
    if (std::find(now.begin(), now.end(), c) != now.end() && c->Loading()) c->Loaded();
  }
  root_.Loaded();
  components = root_.Components();
  for (TComponent* c : components) {
    const auto& now = root_.Components();
    if (std::find(now.begin(), now.end(), c) != now.end()) c->AllLoaded();
  }
  root_.AllLoaded();
}

}  // namespace fw

namespace fw {

void TComponent::StringProperties(std::vector<TStringProperty>& properties) {
  properties.push_back(
      {"Name", [this] { return Name(); }, [this](const std::string& value) { SetName(value); }});
}

std::optional<std::string> TComponent::GetStringProperty(const std::string& name) {
  std::vector<TStringProperty> properties;
  StringProperties(properties);
  for (const auto& property : properties)
    if (SameText(property.Name, name)) return property.Get();
  return std::nullopt;
}

bool TComponent::SetStringProperty(const std::string& name, const std::string& value) {
  std::vector<TStringProperty> properties;
  StringProperties(properties);
  for (const auto& property : properties)
    if (SameText(property.Name, name)) {
      property.Set(value);
      return true;
    }
  return false;
}

}  // namespace fw
