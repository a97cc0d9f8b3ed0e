#include "model/text_rules.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "app/exception.h"

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string_view TrimText(std::string_view text) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    std::size_t begin = 0, end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::string QuoteForMessage(std::string_view text) {
    constexpr std::size_t kLongest = 80;
    if (text.size() > kLongest) return "'" + std::string(text.substr(0, kLongest)) + "...'";
    return "'" + std::string(text) + "'";
}

namespace {

// from_chars takes no leading "+" and no blanks; both are fine in a model file.
std::string_view NumberBody(std::string_view text, bool& ok) {
    std::string_view body = TrimText(text);
    ok = !body.empty();
    if (ok && body.front() == '+') {
        body.remove_prefix(1);
        ok = !body.empty() && body.front() != '-' && body.front() != '+';
    }
    return body;
}

template <typename Real>
Real ParseReal(std::string_view text) {
    bool ok = false;
    const std::string_view body = NumberBody(text, ok);
    Real value{};
    if (ok) {
        // libstdc++ reads the long double case with strtold, which runs on to a terminating
        // NUL past the end of the view: parse a terminated copy.
        const std::string copy(body);
        const auto [end, ec] = std::from_chars(copy.data(), copy.data() + copy.size(), value, std::chars_format::general);
        ok = ec == std::errc() && end == copy.data() + copy.size() && std::isfinite(value);
    }
    if (!ok) throw Exception(QuoteForMessage(text) + " is not a valid floating point value");
    return value;
}

}  // namespace

std::int32_t ParseInteger(std::string_view text) {
    bool ok = false;
    const std::string_view body = NumberBody(text, ok);
    std::int32_t value = 0;
    if (ok) {
        const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value, 10);
        ok = ec == std::errc() && end == body.data() + body.size();
    }
    if (!ok) throw Exception(QuoteForMessage(text) + " is not a valid integer value");
    return value;
}

float ParseFloat(std::string_view text) {
    try {
        return ParseReal<float>(text);
    } catch (const Exception&) {
        // from_chars refuses values too small for a float; they are read as zero, as the
        // wider parse rounds them. Values too large stay an error.
        const long double wide = ParseReal<long double>(text);
        if (std::fabs(wide) >= 1.0L) throw;
        return static_cast<float>(wide);
    }
}

namespace {

// Some runtimes (mingw-w64) read long double through double. A number of at most 19 digits
// with a small exponent is exact as m * 10^e or m / 10^-e, one correctly rounded operation, so
// both targets get the same extended value ("0.2" is 0.2L everywhere).
bool ExactExtended(std::string_view body, long double& value) {
    std::size_t i = 0;
    const bool negative = body[i] == '-';
    if (body[i] == '-' || body[i] == '+') ++i;
    std::uint64_t mantissa = 0;
    int digits = 0, exponent = 0;
    bool point = false;
    for (; i < body.size() && (body[i] == '.' || (body[i] >= '0' && body[i] <= '9')); ++i) {
        if (body[i] == '.') {
            point = true;
            continue;
        }
        if (mantissa == 0 && body[i] == '0') {
            if (point) --exponent;
            continue;
        }
        if (++digits > 19) return false;
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(body[i] - '0');
        if (point) --exponent;
    }
    if (i < body.size()) {
        if (body[i] != 'e' && body[i] != 'E') return false;
        std::int32_t written = 0;
        const auto [end, ec] = std::from_chars(body.data() + i + 1 + (body[i + 1] == '+'), body.data() + body.size(), written);
        if (ec != std::errc() || end != body.data() + body.size() || written < -100 || written > 100) return false;
        exponent += written;
    }
    if (exponent < -27 || exponent > 27) return false;
    long double power = 1;
    for (int k = 0; k < (exponent < 0 ? -exponent : exponent); ++k) power *= 10;  // exact up to 10^27
    value = exponent < 0 ? static_cast<long double>(mantissa) / power : static_cast<long double>(mantissa) * power;
    if (negative) value = -value;
    return true;
}

}  // namespace

long double ParseExtended(std::string_view text) {
    long double value = ParseReal<long double>(text);  // checks the syntax
    bool ok = false;
    ExactExtended(NumberBody(text, ok), value);
    return value;
}
