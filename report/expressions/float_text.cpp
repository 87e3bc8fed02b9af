#include "report/expressions/float_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace report {

std::string FormatGeneralFloat(double value, char decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0.0) return "0";

  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);  // -d.dddddddddddddde+XX
  std::string_view text(buffer);
  std::string result;
  if (text.front() == '-') {
    result += '-';
    text.remove_prefix(1);
  }
  const std::size_t ePos = text.find('e');
  std::string digits;
  for (char c : text.substr(0, ePos))
    if (c != '.') digits += c;
  const int exponent = std::atoi(std::string(text.substr(ePos + 1)).c_str());
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  if (exponent > 14 || exponent < -5) {
    result += digits[0];
    if (digits.size() > 1) {
      result += decimalSeparator;
      result.append(digits, 1);
    }
    result += 'E';
    result += std::to_string(exponent);
    return result;
  }
  if (exponent >= 0) {
    const std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= intDigits) {
      result += digits;
      result.append(intDigits - digits.size(), '0');
    } else {
      result.append(digits, 0, intDigits);
      result += decimalSeparator;
      result.append(digits, intDigits);
    }
    return result;
  }
  result += '0';
  result += decimalSeparator;
  result.append(static_cast<std::size_t>(-exponent - 1), '0');
  result += digits;
  return result;
}

bool TextToFloat(std::string_view text, char decimalSeparator, double& result) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);

  std::string plain;  // the same number with "." as its separator
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::size_t mantissaDigits = 0;
  auto takeDigits = [&](std::size_t& count) {
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      plain += text[i++];
      ++count;
    }
  };
  takeDigits(mantissaDigits);
  if (i < text.size() && text[i] == decimalSeparator) {
    plain += '.';
    ++i;
    takeDigits(mantissaDigits);
  }
  if (mantissaDigits == 0) return false;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    plain += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) plain += text[i++];
    std::size_t exponentDigits = 0;
    takeDigits(exponentDigits);
    if (exponentDigits == 0) return false;
  }
  if (i != text.size()) return false;

  double value = 0.0;
  const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(value)) return false;
  result = negative ? -value : value;
  return true;
}

}  // namespace report
