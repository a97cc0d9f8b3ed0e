#pragma once
// Line and number rules shared by the model and frame-list readers. Numbers always use "." as
// the decimal separator, whatever the process locale: they are parsed with std::from_chars.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Splits a text at CR LF, CR or LF. A line break at the very end does not start another line.
std::vector<std::string_view> SplitLines(std::string_view text);

// Removes leading and trailing blanks and control characters (every byte up to the blank).
std::string_view TrimText(std::string_view text);

// Plain decimal 32-bit integer, optional sign, blanks around it allowed.
// Raises "'text' is not a valid integer value" otherwise.
std::int32_t ParseInteger(std::string_view text);

// Decimal number with an optional exponent ("-1.5e-007"), blanks around it allowed. Infinities,
// NaN and values out of range are refused. Raises "'text' is not a valid floating point value".
float ParseFloat(std::string_view text);
long double ParseExtended(std::string_view text);

// The bad text as it appears in an error message: quoted and cut short when very long.
std::string QuoteForMessage(std::string_view text);
