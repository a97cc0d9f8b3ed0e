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
        const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
        ok = ec == std::errc() && end == body.data() + body.size() && std::isfinite(value);
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

long double ParseExtended(std::string_view text) { return ParseReal<long double>(text); }
