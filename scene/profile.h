#pragma once
// Reading Windows profile (INI) text: sections in square brackets, then key=value lines.
// Section and key names match without regard to case, the first match wins, values are
// trimmed and lose one pair of surrounding quotes.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class IProfileReader {
public:
    virtual ~IProfileReader() = default;
    // The value of key in section; nullopt when the section or the key is missing.
    virtual std::optional<std::string> Read(const std::string& section, const std::string& key) = 0;
};

// Our own reader over profile text held in memory: the file's bytes, which may start with a
// UTF-8 or UTF-16 byte-order mark; lines end in LF, CR LF or CR.
class TProfileText final : public IProfileReader {
public:
    explicit TProfileText(const std::string& text);
    std::optional<std::string> Read(const std::string& section, const std::string& key) override;

private:
    struct Entry {
        std::string key;
        std::optional<std::string> value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    std::vector<Section> sections_;
};

// Opens the profile file at path (the platform's OpenProfileFile, or a test's); nullptr when the
// file does not exist.
using TProfileOpener = std::function<std::unique_ptr<IProfileReader>(const std::string& path)>;
