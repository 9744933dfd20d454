#include "Vexmira/StoredNumber.h"

#include <cctype>
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <system_error>

namespace StoredNumber {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t skipWhiteSpace(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    return i;
}

std::size_t skipDigits(const std::string& text, std::size_t i) {
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

// The length of the decimal number starting at `start`, 0 when there is none.
// Only plain decimals count: no "inf", "nan" or hexadecimal forms.
std::size_t decimalLength(const std::string& text, std::size_t start) {
    std::size_t i = start;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t integerEnd = skipDigits(text, i);
    std::size_t end = integerEnd;
    bool hasDigits = integerEnd > i;
    if (end < text.size() && text[end] == '.') {
        std::size_t fractionEnd = skipDigits(text, end + 1);
        hasDigits = hasDigits || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!hasDigits)
        return 0;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-'))
            ++exponent;
        std::size_t exponentEnd = skipDigits(text, exponent);
        if (exponentEnd > exponent)
            end = exponentEnd;
    }
    return end - start;
}

locale_t cLocale() {
    static locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

template <typename Number> std::string toText(Number value, auto... format) {
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format...);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string formatFloat(float value) {
    return toText(static_cast<double>(value), std::chars_format::fixed, 6);
}

std::string formatInteger(int value) {
    return toText(value);
}

double leadingDouble(const std::string& text) {
    std::size_t start = skipWhiteSpace(text);
    std::size_t length = decimalLength(text, start);
    if (length == 0)
        return 0.0;
    std::string number = text.substr(start, length);
    // strtod_l with the C locale: the decimal point is '.' whatever the
    // program's locale, and underflow and overflow behave as in strtod.
    return strtod_l(number.c_str(), nullptr, cLocale());
}

long long leadingInteger(const std::string& text, bool& overflow) {
    overflow = false;
    std::size_t i = skipWhiteSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::size_t end = skipDigits(text, i);
    if (end == i)
        return 0;
    // Parse with the sign so that the most negative long long still fits.
    std::string digits = (negative ? "-" : "") + text.substr(i, end - i);
    long long value = 0;
    auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        overflow = true;
        return negative ? std::numeric_limits<long long>::min()
                        : std::numeric_limits<long long>::max();
    }
    return value;
}

} // namespace StoredNumber
