#include "platform/CLocale.h"

#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace platform {

namespace {

locale_t CLocaleObject()
{
    // Created once and never freed: it must outlive every static object that formats numbers.
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

// Switches the calling thread to the "C" locale for the lifetime of the object.
class ScopedCLocale {
public:
    ScopedCLocale() : previous_(uselocale(CLocaleObject())) { }
    ~ScopedCLocale() { uselocale(previous_); }
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;

private:
    locale_t previous_;
};

} // namespace

std::string CFormat(const char* format, ...)
{
    ScopedCLocale c;
    char small[64];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0)
        return std::string();
    if (static_cast<size_t>(n) < sizeof small)
        return std::string(small, static_cast<size_t>(n));
    std::string out(static_cast<size_t>(n) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(out.data(), out.size(), format, args);
    va_end(args);
    out.resize(static_cast<size_t>(n));
    return out;
}

double CStrtod(const char* text, char** end)
{
    return strtod_l(text, end, CLocaleObject());
}

double CAtof(const char* text)
{
    return strtod_l(text, nullptr, CLocaleObject());
}

long CAtol(const char* text)
{
    const long long v = strtoll_l(text, nullptr, 10, CLocaleObject());
    if (v > INT32_MAX)
        return INT32_MAX;
    if (v < INT32_MIN)
        return INT32_MIN;
    return static_cast<long>(v);
}

std::string CToLower(std::string text)
{
    for (char& c : text)
        c = CToLower(c);
    return text;
}

bool CEqualsIgnoreCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (CToLower(a[i]) != CToLower(b[i]))
            return false;
    return true;
}

} // namespace platform
