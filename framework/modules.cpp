#include "framework/modules.h"

#include <exception>

namespace fw {

void ModuleList::Add(std::string name, std::function<void()> initialize, std::function<void()> finalize) {
  modules_.push_back({std::move(name), std::move(initialize), std::move(finalize), false});
}

void ModuleList::InitializeAll() {
  for (Module& m : modules_) {
    if (m.initialized) continue;
    try {
      if (m.initialize) m.initialize();
    } catch (...) {
      std::exception_ptr failure = std::current_exception();
      try {
        FinalizeAll();
      } catch (...) {
      }
      std::rethrow_exception(failure);
    }
    m.initialized = true;
  }
}

void ModuleList::FinalizeAll() {
  std::exception_ptr first;
  for (auto it = modules_.rbegin(); it != modules_.rend(); ++it) {
    if (!it->initialized) continue;
    it->initialized = false;
    try {
      if (it->finalize) it->finalize();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  if (first) std::rethrow_exception(first);
}

bool ModuleList::Initialized(const std::string& name) const {
  for (const Module& m : modules_)
    if (m.name == name) return m.initialized;
  return false;
}

ModuleList& Modules() {
  static ModuleList list;
  return list;
}

}  // namespace fw
