#include "framework/exceptions.h"

namespace fw {

std::string InOutErrorText(int errorCode) {
  switch (errorCode) {
    case 2: return "File not found";
    case 3: return "Path not found";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 6: return "Invalid file handle";
    case 12: return "Invalid file access code";
    case 15: return "Invalid drive number";
    case 32: return "File is in use by another program";
    case 100: return "Disk read error";
    case 101: return "Disk write error";
    case 102: return "File not assigned";
    case 103: return "File not open";
    case 104: return "File not open for input";
    case 105: return "File not open for output";
    case 112: return "Disk full";
    default: return "I/O error " + std::to_string(errorCode);
  }
}

EInOutError::EInOutError(int errorCode) : Exception(InOutErrorText(errorCode)), ErrorCode(errorCode) {}

}  // namespace fw
