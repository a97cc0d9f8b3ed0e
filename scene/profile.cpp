#include "scene/profile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

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

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// UTF-16 text after its byte-order mark, as UTF-8. An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::string& bytes, std::size_t start, bool bigEndian) {
    std::string out;
    const auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<std::uint32_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    for (std::size_t i = start; i + 1 < bytes.size(); i += 2) {
        std::uint32_t code = unit(i);
        if (code >= 0xD800 && code < 0xDC00 && i + 3 < bytes.size()) {
            const std::uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        if (code >= 0xD800 && code < 0xE000) code = 0xFFFD;
        AppendUtf8(out, code);
    }
    return out;
}

// The file's text without its byte-order mark: UTF-8 marks are skipped, UTF-16 text is converted.
std::string WithoutByteOrderMark(const std::string& bytes) {
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) return bytes.substr(3);
    if (bytes.rfind("\xFF\xFE", 0) == 0) return Utf16ToUtf8(bytes, 2, false);
    if (bytes.rfind("\xFE\xFF", 0) == 0) return Utf16ToUtf8(bytes, 2, true);
    return bytes;
}

}  // namespace

TProfileText::TProfileText(const std::string& bytes) {
    const std::string text = WithoutByteOrderMark(bytes);
    // Entries before the first header belong to a section without a name.
    sections_.push_back({"", {}});
    Section* current = &sections_.back();
    std::size_t pos = 0;
    while (pos <= text.size()) {
        // Lines end in LF, CR LF or a lone CR.
        std::size_t eol = text.find_first_of("\r\n", pos);
        if (eol == std::string::npos) eol = text.size();
        const std::string line = Trim(text.substr(pos, eol - pos));
        pos = eol + (text.compare(eol, 2, "\r\n") == 0 ? 2 : 1);
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
