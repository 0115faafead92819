#include "platform/core/Format.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <locale.h>

namespace fw {

namespace {

// The program's numbers never follow the user's locale: a toolkit that
// adopts the environment's locale (a decimal comma) must not change what the
// summaries and exports write. The C locale is installed for this thread
// only while a format runs.
class CLocaleScope {
public:
    CLocaleScope() : previous_(uselocale(CLocale())) {}
    ~CLocaleScope() {
        if (previous_) uselocale(previous_);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    static locale_t CLocale() {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
        return c ? c : LC_GLOBAL_LOCALE;
    }
    locale_t previous_;
};

// snprintf into a string of whatever length the conversion needs.
template <class... Args>
std::string Print(const std::string& conversion, Args... args) {
    char buf[128];
    int n = std::snprintf(buf, sizeof buf, conversion.c_str(), args...);
    if (n < 0) return std::string();
    if (size_t(n) < sizeof buf) return std::string(buf, size_t(n));
    std::string r(size_t(n), '\0');
    std::snprintf(r.data(), r.size() + 1, conversion.c_str(), args...);
    return r;
}

// Pads an exponent of two digits to three: the design files' summaries and
// exports always show three.
std::string WidenExponent(std::string s) {
    size_t e = s.find_first_of("eE");
    if (e == std::string::npos || e + 1 >= s.size()) return s;
    size_t digits = e + 1;
    if (s[digits] == '+' || s[digits] == '-') ++digits;
    size_t end = digits;
    while (end < s.size() && std::isdigit(static_cast<unsigned char>(s[end]))) ++end;
    if (end - digits < 3) s.insert(digits, 3 - (end - digits), '0');
    return s;
}

std::string Pad(std::string body, int width, bool left, bool zero) {
    if (width <= 0 || static_cast<int>(body.size()) >= width) return body;
    size_t fill = size_t(width) - body.size();
    if (left) return body + std::string(fill, ' ');
    // Zeros pad digits only; inf and nan are padded with blanks as printf does.
    if (zero && body.find_first_of("0123456789") != std::string::npos) {
        size_t at = (!body.empty() && (body[0] == '-' || body[0] == '+' || body[0] == ' ')) ? 1 : 0;
        body.insert(at, fill, '0');
        return body;
    }
    return std::string(fill, ' ') + body;
}

}  // namespace

std::string FormatV(const char* fmt, va_list args) {
    CLocaleScope cLocale;
    std::string out;
    const char* p = fmt;
    while (*p) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        const char* start = p++;
        if (*p == '%') {
            out += '%';
            ++p;
            continue;
        }
        std::string flags;
        while (*p && std::strchr("-+ #0", *p)) flags += *p++;
        int width = -1;
        if (*p == '*') {
            width = va_arg(args, int);
            if (width < 0) {
                flags += '-';
                width = -width;
            }
            ++p;
        } else if (std::isdigit(static_cast<unsigned char>(*p))) {
            width = 0;
            while (std::isdigit(static_cast<unsigned char>(*p))) width = width * 10 + (*p++ - '0');
        }
        int precision = -1;
        if (*p == '.') {
            ++p;
            precision = 0;
            if (*p == '*') {
                precision = va_arg(args, int);
                ++p;
            } else {
                while (std::isdigit(static_cast<unsigned char>(*p))) precision = precision * 10 + (*p++ - '0');
            }
        }
        std::string length;
        while (*p && std::strchr("hlLqjzt", *p)) length += *p++;
        char conv = *p;
        if (!conv) {
            out.append(start);
            break;
        }
        ++p;

        std::string head = "%" + flags;
        std::string widthPart = width >= 0 ? std::to_string(width) : "";
        std::string precisionPart = precision >= 0 ? "." + std::to_string(precision) : "";
        switch (conv) {
        case 'e': case 'E': case 'g': case 'G': {
            double v = length == "L" ? static_cast<double>(va_arg(args, long double)) : va_arg(args, double);
            std::string s = head;
            // Format without width, widen the exponent, then pad to the width.
            for (char c : {'0', '-'}) {
                size_t at;
                while ((at = s.find(c)) != std::string::npos) s.erase(at, 1);
            }
            s += precisionPart + conv;
            out += Pad(WidenExponent(Print(s, v)), width, flags.find('-') != std::string::npos,
                       flags.find('0') != std::string::npos);
            break;
        }
        case 'f': case 'F': case 'a': case 'A': {
            double v = length == "L" ? static_cast<double>(va_arg(args, long double)) : va_arg(args, double);
            out += Print(head + widthPart + precisionPart + conv, v);
            break;
        }
        case 'd': case 'i': case 'u': case 'x': case 'X': case 'o': {
            std::string s = head + widthPart + precisionPart;
            bool isSigned = conv == 'd' || conv == 'i';
            if (length == "ll" || length == "q" || length == "j" || length == "L") {
                s += "ll";
                s += conv;
                if (isSigned) out += Print(s, va_arg(args, long long));
                else out += Print(s, va_arg(args, unsigned long long));
            } else if (length == "l" || length == "z" || length == "t") {
                s += "l";
                s += conv;
                if (isSigned) out += Print(s, va_arg(args, long));
                else out += Print(s, va_arg(args, unsigned long));
            } else {
                // h and hh narrow an int argument; anything else reads an int.
                if (length == "h" || length == "hh") s += length;
                s += conv;
                if (isSigned) out += Print(s, va_arg(args, int));
                else out += Print(s, va_arg(args, unsigned));
            }
            break;
        }
        case 'c': {
            out += Print(head + widthPart + "c", va_arg(args, int));
            break;
        }
        case 's': {
            const char* str = va_arg(args, const char*);
            if (!str) str = "(null)";
            std::string body = precision >= 0 ? std::string(str, strnlen(str, size_t(precision))) : std::string(str);
            out += Pad(body, width, flags.find('-') != std::string::npos, false);
            break;
        }
        case 'p': {
            out += Print("%p", va_arg(args, void*));
            break;
        }
        default:
            out.append(start, p);
            break;
        }
    }
    return out;
}

std::string Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string s = FormatV(fmt, args);
    va_end(args);
    return s;
}

std::string Substitute(std::string_view text, std::string_view arg1, std::string_view arg2) {
    std::string out;
    out.reserve(text.size() + arg1.size() + arg2.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2')) {
            out += text[i + 1] == '1' ? arg1 : arg2;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

namespace {

std::string_view Trim(std::string_view t) {
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front()))) t.remove_prefix(1);
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.remove_suffix(1);
    return t;
}

}  // namespace

bool ParseDouble(std::string_view text, double& out) {
    std::string_view t = Trim(text);
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    if (t.empty()) return false;
    // Only digits and a point may start the number: this rules out nan, inf and hex.
    if (!std::isdigit(static_cast<unsigned char>(t[0])) && t[0] != '.') return false;
    if (t.size() > 1 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) return false;
    double v = 0;
    auto r = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) return false;
    if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return false;
    out = negative ? -v : v;
    return true;
}

bool ParseInt(std::string_view text, int& out) {
    std::string_view t = Trim(text);
    if (!t.empty() && t[0] == '+') t.remove_prefix(1);
    if (t.empty()) return false;
    int v = 0;
    auto r = std::from_chars(t.data(), t.data() + t.size(), v, 10);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return false;
    out = v;
    return true;
}

bool ParseUInt(std::string_view text, unsigned& out) {
    std::string_view t = Trim(text);
    if (!t.empty() && t[0] == '+') t.remove_prefix(1);
    if (t.empty() || t[0] == '-') return false;
    unsigned v = 0;
    auto r = std::from_chars(t.data(), t.data() + t.size(), v, 10);
    if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return false;
    out = v;
    return true;
}

}  // namespace fw
