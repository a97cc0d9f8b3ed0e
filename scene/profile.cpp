#include "scene/profile.h"

#include <algorithm>
#include <cctype>

namespace {

// Ctrl-Z counts as blank: old editors end text files with it.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string Trim(const std::string& s) {
    std::size_t begin = 0, end = s.size();
    while (begin < end && IsBlank(s[begin])) ++begin;
    while (end > begin && IsBlank(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string Unquote(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

TProfileText::TProfileText(const std::string& text) {
    // Entries before the first header belong to a section without a name.
    sections_.push_back({"", {}});
    Section* current = &sections_.back();
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        const std::string line = Trim(text.substr(pos, eol - pos));
        pos = eol + 1;
        if (line.empty()) continue;
        if (line.front() == '[') {
            const std::size_t close = line.rfind(']');
            if (close != std::string::npos) {
                sections_.push_back({Trim(line.substr(1, close - 1)), {}});
                current = &sections_.back();
                continue;
            }
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            current->entries.push_back({line, std::nullopt});  // a key without a value reads as missing
        else
            current->entries.push_back({Trim(line.substr(0, equals)), Trim(line.substr(equals + 1))});
    }
}

std::optional<std::string> TProfileText::Read(const std::string& section, const std::string& key) {
    const std::string wantedSection = Trim(section), wantedKey = Trim(key);
    for (const auto& s : sections_) {
        if (!SameText(s.name, wantedSection)) continue;
        for (const auto& e : s.entries)
            if (SameText(e.key, wantedKey)) return e.value ? std::optional(Unquote(*e.value)) : std::nullopt;
        return std::nullopt;  // only the first section of a name is searched
    }
    return std::nullopt;
}
