// Stand-ins for the installer base until it lands; removed at the merge.
#pragma once

#include <string>

#include "framework/exceptions.h"

namespace setup {

class ECustomPembrinAbnormal : public fw::Exception {
 public:
  using fw::Exception::Exception;
};
class EPembrinAbnormal : public ECustomPembrinAbnormal {
 public:
  using ECustomPembrinAbnormal::ECustomPembrinAbnormal;
};
class EPmbrCompress : public EPembrinAbnormal {
 public:
  using EPembrinAbnormal::EPembrinAbnormal;
};
class EpcDiskFull : public EPmbrCompress {
 public:
  using EPmbrCompress::EPmbrCompress;
};
class EpcAborted : public EPmbrCompress {
 public:
  using EPmbrCompress::EPmbrCompress;
};

enum TOverwriteType { owAlways, owNever, owVersion, owDate, owVersionDate };

inline std::string AddBackslash(const std::string& path) {
  return path.empty() || path.back() == '\\' ? path : path + "\\";
}
inline std::string RemoveBackslash(const std::string& path) {
  return !path.empty() && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

}  // namespace setup
