#pragma once
// The program keeps paths as UTF-8 text. A filesystem path made from char8_t reads them as UTF-8
// on every system (UTF-16 on Windows, the same bytes elsewhere); one made from char would use
// Windows' ANSI code page, which cannot hold every name.
#include <filesystem>
#include <string>

inline std::filesystem::path Utf8Path(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}
