#pragma once

// Number formatting and parsing that behave as in the "C" locale whatever the process locale is.
// QApplication calls setlocale(LC_ALL, ""); under a French locale printf would write a decimal
// comma and strtod would stop at a dot. Every number the program formats or parses goes through
// here.

#include <string>

namespace platform {

// printf-style formatting under the "C" locale. Format strings are the program's own constants.
std::string CFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// strtod under the "C" locale (so "nan", "inf" and hexadecimal forms are taken, as strtod does).
double CStrtod(const char* text, char** end);

// atof rules: leading blanks skipped, longest valid prefix converted, 0.0 when there is none.
double CAtof(const char* text);

// atol rules with the 32-bit long of the original platform: saturates instead of overflowing.
long CAtol(const char* text);

// Character classes of the "C" locale.
inline bool IsCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
inline bool IsCDigit(char c)
{
    return c >= '0' && c <= '9';
}
inline bool IsCAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline char CToUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
inline char CToLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string CToLower(std::string text);

// Case-insensitive comparison of ASCII letters; other bytes compare exactly.
bool CEqualsIgnoreCase(const std::string& a, const std::string& b);

} // namespace platform
