// The base of the path specifiers: components naming a well-known folder of
// the target machine or of the install tree, and the two process-wide lists
// they enter on construction. The install objects and the specifiers refer
// to each other, so the base lives beside the install tree.
#pragma once

#include <string>
#include <vector>

#include "framework/component.h"
#include "setup/base/exceptions.h"

namespace setup {

// What the install tree needs to recognise of a specifier.
enum class TSpecifierRole { Other, ContainerDestDir, ContainerArchiveFile };

class TCustomPathSpecifier : public fw::TComponent {
 public:
  explicit TCustomPathSpecifier(fw::TComponent* owner);
  ~TCustomPathSpecifier() override;
  std::string ClassName() const override { return "TCustomPathSpecifier"; }

  // Raises IEPathSpecifier when the object cannot use this specifier.
  virtual void CheckObject(fw::TComponent* object) const;
  virtual std::string DisplayText() const { return "Unspecified"; }
  virtual std::string DisplayTextFor(fw::TComponent* object) const;
  virtual std::string GetPath(fw::TComponent* object) const;

  const std::string& DefaultName() const { return defaultName_; }
  virtual TSpecifierRole Role() const { return TSpecifierRole::Other; }

 protected:
  std::string defaultName_;
};

class TStandardPathSpecifier : public TCustomPathSpecifier {
 public:
  explicit TStandardPathSpecifier(fw::TComponent* owner);
  ~TStandardPathSpecifier() override;
};

class TPathSpecifierList {
 public:
  void Add(TCustomPathSpecifier* specifier);
  void Remove(TCustomPathSpecifier* specifier);
  int Count() const { return static_cast<int>(items_.size()); }
  TCustomPathSpecifier* Item(int index) const { return items_.at(static_cast<size_t>(index)); }

  // The first specifier of the class, or null.
  template <class T>
  T* Find() const {
    for (auto* item : items_)
      if (auto* found = dynamic_cast<T*>(item)) return found;
    return nullptr;
  }
  // As Find; none raises "Could not find the path specifier".
  template <class T>
  T* FindSpecifier() const {
    if (auto* found = Find<T>()) return found;
    throw IEPathSpecifier("Could not find the path specifier");
  }

 private:
  std::vector<TCustomPathSpecifier*> items_;
};

TPathSpecifierList& PathSpecifiers();
TPathSpecifierList& StandardPathSpecifiers();

// The standard specifiers of the container's destination and archive, which
// the install tree sets by itself when an object gets a container: first of
// the standard list; none raises "Could not find the path specifier".
TCustomPathSpecifier* SharedSpecifier(TSpecifierRole role);
inline bool HasRole(const TCustomPathSpecifier* specifier, TSpecifierRole role) {
  return specifier && specifier->Role() == role;
}

}  // namespace setup
