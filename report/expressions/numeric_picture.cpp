#include "report/expressions/numeric_picture.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "report/expressions/float_text.h"

namespace report {

namespace {

constexpr int kMaxFractionDigits = 18;

std::vector<std::string_view> SplitSections(std::string_view picture) {
  std::vector<std::string_view> sections;
  char quote = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < picture.size(); ++i) {
    const char c = picture[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';' && sections.size() < 2) {
      sections.push_back(picture.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(picture.substr(start));
  return sections;
}

struct Token {
  enum Type { Literal, IntegerDigit, FractionDigit, Point, Exponent } type;
  std::string text;  // Literal: the text; Exponent: "E+" style prefix
  int exponentDigits = 0;
};

struct Section {
  std::vector<Token> tokens;
  int integerSlots = 0;
  int minIntegerDigits = 0;
  int fractionSlots = 0;
  int minFractionDigits = 0;
  bool grouping = false;
  bool scientific = false;
};

Section ParseSection(std::string_view text) {
  Section section;
  bool afterPoint = false;
  int firstZeroSlot = -1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\'' || c == '"') {
      const std::size_t end = text.find(c, i + 1);
      const std::size_t stop = end == std::string_view::npos ? text.size() : end;
      section.tokens.push_back({Token::Literal, std::string(text.substr(i + 1, stop - i - 1))});
      i = stop;
    } else if (c == '0' || c == '#') {
      if (section.scientific) continue;  // placeholders after the exponent belong to it
      if (afterPoint) {
        ++section.fractionSlots;
        if (c == '0') section.minFractionDigits = section.fractionSlots;
        section.tokens.push_back({Token::FractionDigit, {}});
      } else {
        if (c == '0' && firstZeroSlot < 0) firstZeroSlot = section.integerSlots;
        ++section.integerSlots;
        section.tokens.push_back({Token::IntegerDigit, {}});
      }
    } else if (c == '.' && !afterPoint && !section.scientific) {
      afterPoint = true;
      section.tokens.push_back({Token::Point, {}});
    } else if (c == ',') {
      section.grouping = true;
    } else if ((c == 'E' || c == 'e') && i + 1 < text.size() && (text[i + 1] == '+' || text[i + 1] == '-') &&
               !section.scientific) {
      Token exponent{Token::Exponent, std::string(text.substr(i, 2))};
      i += 2;
      while (i < text.size() && text[i] == '0' && exponent.exponentDigits < 4) {
        ++exponent.exponentDigits;
        ++i;
      }
      --i;
      section.scientific = true;
      section.tokens.push_back(std::move(exponent));
    } else {
      section.tokens.push_back({Token::Literal, std::string(1, c)});
    }
  }
  if (firstZeroSlot >= 0) section.minIntegerDigits = section.integerSlots - firstZeroSlot;
  return section;
}

std::string Printf(const char* format, int precision, double value) {
  const int length = std::snprintf(nullptr, 0, format, precision, value);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), format, precision, value);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::string FormatSection(const Section& section, double value, bool withSign, char decimalSeparator,
                          char thousandSeparator) {
  const double magnitude = std::fabs(value);
  const int fractionSlots = std::min(section.fractionSlots, kMaxFractionDigits);
  std::string integerDigits, fractionDigits;
  int exponent = 0;
  if (section.scientific) {
    const int integerWanted = std::max(section.integerSlots, 1);
    const std::string text = Printf("%.*e", integerWanted - 1 + fractionSlots, magnitude);
    const std::size_t ePos = text.find('e');
    std::string digits;
    for (char c : text.substr(0, ePos))
      if (c != '.') digits += c;
    exponent = magnitude == 0.0 ? 0 : std::atoi(text.c_str() + ePos + 1) - (integerWanted - 1);
    integerDigits = digits.substr(0, static_cast<std::size_t>(integerWanted));
    fractionDigits = digits.substr(static_cast<std::size_t>(integerWanted));
  } else {
    const std::string text = Printf("%.*f", fractionSlots, magnitude);
    const std::size_t point = text.find('.');
    integerDigits = text.substr(0, point);
    if (point != std::string::npos) fractionDigits = text.substr(point + 1);
    if (integerDigits == "0") integerDigits.clear();
  }
  while (static_cast<int>(fractionDigits.size()) > section.minFractionDigits && fractionDigits.back() == '0')
    fractionDigits.pop_back();
  if (static_cast<int>(integerDigits.size()) < section.minIntegerDigits)
    integerDigits.insert(0, static_cast<std::size_t>(section.minIntegerDigits) - integerDigits.size(), '0');

  std::string out;
  const bool nonZero = (integerDigits + fractionDigits).find_first_not_of('0') != std::string::npos;
  if (withSign && nonZero) out += '-';

  const auto digitCount = static_cast<int>(integerDigits.size());
  auto emitIntegerDigit = [&](int index) {
    out += integerDigits[static_cast<std::size_t>(index)];
    const int fromRight = digitCount - 1 - index;
    if (section.grouping && !section.scientific && thousandSeparator && fromRight > 0 && fromRight % 3 == 0)
      out += thousandSeparator;
  };
  int integerSlot = 0, fractionSlot = 0;
  for (const Token& token : section.tokens) {
    switch (token.type) {
      case Token::Literal:
        out += token.text;
        break;
      case Token::IntegerDigit: {
        // Digits fill the slots from the right; the first slot takes any excess.
        const int index = digitCount - (section.integerSlots - integerSlot);
        if (integerSlot == 0)
          for (int i = 0; i <= index; ++i) emitIntegerDigit(i);
        else if (index >= 0)
          emitIntegerDigit(index);
        ++integerSlot;
        break;
      }
      case Token::Point:
        if (section.integerSlots == 0)  // "#.##": the whole part still shows
          for (int i = 0; i < digitCount; ++i) emitIntegerDigit(i);
        if (!fractionDigits.empty()) out += decimalSeparator;
        break;
      case Token::FractionDigit:
        if (fractionSlot < static_cast<int>(fractionDigits.size()))
          out += fractionDigits[static_cast<std::size_t>(fractionSlot)];
        ++fractionSlot;
        break;
      case Token::Exponent: {
        out += token.text[0];
        if (exponent < 0)
          out += '-';
        else if (token.text[1] == '+')
          out += '+';
        std::string digits = std::to_string(std::abs(exponent));
        if (static_cast<int>(digits.size()) < token.exponentDigits)
          digits.insert(0, static_cast<std::size_t>(token.exponentDigits) - digits.size(), '0');
        out += digits;
        break;
      }
    }
  }
  return out;
}

}  // namespace

std::string FormatNumericPicture(std::string_view picture, double value, char decimalSeparator,
                                 char thousandSeparator) {
  if (!std::isfinite(value)) return FormatGeneralFloat(value, decimalSeparator);
  const std::vector<std::string_view> sections = SplitSections(picture);
  std::string_view chosen = sections[0];
  bool withSign = value < 0;
  if (value == 0.0 && sections.size() >= 3 && !sections[2].empty()) {
    chosen = sections[2];
  } else if (value < 0 && sections.size() >= 2 && !sections[1].empty()) {
    chosen = sections[1];
    withSign = false;
  }
  if (chosen.empty()) return FormatGeneralFloat(value, decimalSeparator);
  return FormatSection(ParseSection(chosen), value, withSign, decimalSeparator, thousandSeparator);
}

}  // namespace report
