// printf-style formatting in the C locale, with the program's exponent style:
// "%e" and "%g" write at least three exponent digits ("4.700e-006").
// Number parsing for user input: C locale, the whole text, no nan, inf or hex.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace fw {

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* fmt, va_list args);

// Replaces "%1" and "%2" literally; the text is never used as a format.
std::string Substitute(std::string_view text, std::string_view arg1, std::string_view arg2 = {});

// Whole-string parses. Leading and trailing blanks are allowed; anything
// else that is not part of the number fails. nan, inf and hex fail.
bool ParseDouble(std::string_view text, double& out);
bool ParseInt(std::string_view text, int& out);
bool ParseUInt(std::string_view text, unsigned& out);

}  // namespace fw
