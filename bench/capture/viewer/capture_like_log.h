// A capture-like journal of a given size for the log search benchmarks: the
// receipts a register prints, with the CR LF, lone LF and doubled LF breaks
// a capture file holds.
#pragma once

#include <cstddef>
#include <string>

inline std::string CaptureLikeLog(size_t size) {
  std::string log;
  static const char* const kItems[] = {"COFFEE", "BAGEL", "MUFFIN", "TEA", "SANDWICH", "JUICE", "SOUP", "COOKIE"};
  for (unsigned receipt = 1; log.size() < size; ++receipt) {
    log += "   QUORVANE CAFE           #" + std::to_string(100000 + receipt) + "\r\n";
    log += "   12/06/2026  08:" + std::to_string(10 + receipt % 50) + "  CLERK 0" + std::to_string(receipt % 7) + "\n";
    for (unsigned item = 0; item < 2 + receipt % 5; ++item)
      log += std::string(kItems[(receipt + item) % 8]) + "                 " + std::to_string(1 + (receipt * 7 + item) % 9) +
             "." + std::to_string(10 + (receipt + item * 3) % 90) + "\r\n";
    log += "SUB TOTAL            " + std::to_string(receipt % 40) + ".55\r\n";
    log += "Total                " + std::to_string(receipt % 40) + ".55\n\n";
    log += receipt % 3 ? "CASH                 50.00\r\n" : "CARD                 ****1234\r\n";
  }
  log.resize(size);
  return log;
}
