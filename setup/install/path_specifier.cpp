#include "setup/install/path_specifier.h"

#include <algorithm>

namespace setup {

TPathSpecifierList& PathSpecifiers() {
  static TPathSpecifierList list;
  return list;
}

TPathSpecifierList& StandardPathSpecifiers() {
  static TPathSpecifierList list;
  return list;
}

void TPathSpecifierList::Add(TCustomPathSpecifier* specifier) {
  if (!specifier) throw IEPathSpecifierList("Tried to add a nil object to the path specifier list");
  items_.push_back(specifier);
}

void TPathSpecifierList::Remove(TCustomPathSpecifier* specifier) {
  items_.erase(std::remove(items_.begin(), items_.end(), specifier), items_.end());
}

TCustomPathSpecifier::TCustomPathSpecifier(fw::TComponent* owner) : fw::TComponent(owner) {
  PathSpecifiers().Add(this);
}

TCustomPathSpecifier::~TCustomPathSpecifier() { PathSpecifiers().Remove(this); }

void TCustomPathSpecifier::CheckObject(fw::TComponent*) const {}

std::string TCustomPathSpecifier::DisplayTextFor(fw::TComponent*) const { return DisplayText(); }

std::string TCustomPathSpecifier::GetPath(fw::TComponent*) const { return ""; }

TCustomPathSpecifier* SharedSpecifier(TSpecifierRole role) {
  auto& list = StandardPathSpecifiers();
  for (int i = 0; i < list.Count(); ++i)
    if (list.Item(i)->Role() == role) return list.Item(i);
  throw IEPathSpecifier("Could not find the path specifier");
}

TStandardPathSpecifier::TStandardPathSpecifier(fw::TComponent* owner) : TCustomPathSpecifier(owner) {
  StandardPathSpecifiers().Add(this);
}

TStandardPathSpecifier::~TStandardPathSpecifier() { StandardPathSpecifiers().Remove(this); }

}  // namespace setup
