#pragma once

#include <string>

// Numbers as a Vexmira document stores them: written with a fixed format and
// read back from the start of a text. Both ignore the C locale, so a program
// running under a German locale still writes 8.000000 and reads it back.
namespace StoredNumber {

// The value widened to double with exactly six decimals, like "%f": 8.000000.
std::string formatFloat(float value);
// Plain decimal, like "%d".
std::string formatInteger(int value);

// The decimal number at the start of `text` (white space before it skipped,
// anything after it ignored): sign, digits, a decimal point and an exponent.
// 0 when the text does not begin with a number; an infinity when the number
// is too large for a double.
double leadingDouble(const std::string& text);

// The integer at the start of `text` (white space skipped, sign and digits;
// anything from the first other character on ignored). 0 when the text does
// not begin with one. `overflow` tells whether it lay outside long long, in
// which case the nearest long long is returned.
long long leadingInteger(const std::string& text, bool& overflow);

} // namespace StoredNumber
