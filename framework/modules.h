// Explicit module initialisation and finalisation. The program lists its
// modules once, in dependency order; they are initialised in that order and
// finalised in the reverse order, each exactly once.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace fw {

class ModuleList {
 public:
  void Add(std::string name, std::function<void()> initialize, std::function<void()> finalize);
  // Runs every initialiser not yet run. When one fails, the modules already
  // initialised are finalised and the failure goes on to the caller.
  void InitializeAll();
  // Finalises the initialised modules, last first. Every finaliser runs even
  // when one fails; the first failure is raised at the end.
  void FinalizeAll();
  bool Initialized(const std::string& name) const;

 private:
  struct Module {
    std::string name;
    std::function<void()> initialize, finalize;
    bool initialized = false;
  };
  std::vector<Module> modules_;
};

// The program's one list.
ModuleList& Modules();

}  // namespace fw
