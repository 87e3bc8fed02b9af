// The installer's small text routines: ";"-separated field lists, trailing
// backslashes of folders, and names made fit for a file name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace setup {

// The number of separators in the text, plus one when the text is not empty
// and does not end with the separator: "a;b" and "a;b;" both have 2 fields.
int FieldCount(std::string_view text, char separator);

// Field n (from 1; below 2 means the first) of the text split at the
// separator; "" when the text has fewer fields. The last field runs to the
// end of the text. An empty separator leaves the whole text one field.
std::string GetField(std::string_view text, int n, std::string_view separator);

// Replaces the list by the FieldCount fields of the text.
void SplitFields(std::string_view text, char separator, std::vector<std::string>& list);

// "\" appended unless the path is empty or already ends with one.
std::string AddBackslash(std::string_view path);
// One trailing "\" removed, if there is one.
std::string RemoveBackslash(std::string_view path);

// Blanks and control characters removed from both ends.
std::string TrimmedText(std::string_view text);

// The text after the first ":"; a text without one is returned whole.
std::string TextAfterColon(std::string_view text);

// "/" becomes "-"; the characters " * : ; < > ? \ | are dropped; all others
// stay.
std::string MakeFileNameSafe(std::string_view text);

// A message box widens to its longest unbroken run of characters, and a
// path can be longer than the screen is wide: every run longer than `width`
// characters gets line breaks, after a backslash where one lies in the last
// `width` characters, else after `width` characters.
std::string BreakLongRuns(std::string_view text, std::size_t width);

}  // namespace setup
