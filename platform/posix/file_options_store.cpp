#include "platform/posix/file_options_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

#include "app/exception.h"

namespace {

std::string Escape(const std::string& text) {
    std::string out;
    for (const unsigned char c : text) {
        if (c < 0x20 || c == '=' || c == '\\' || c == 0x7F) {
            static const char hex[] = "0123456789ABCDEF";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool Unescape(const std::string& text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (i + 3 >= text.size() || text[i + 1] != 'x') return false;
        const auto hexValue = [](char h) -> int {
            if (h >= '0' && h <= '9') return h - '0';
            if (h >= 'A' && h <= 'F') return h - 'A' + 10;
            if (h >= 'a' && h <= 'f') return h - 'a' + 10;
            return -1;
        };
        const int high = hexValue(text[i + 2]), low = hexValue(text[i + 3]);
        if (high < 0 || low < 0) return false;
        out += static_cast<char>(high * 16 + low);
        i += 3;
    }
    return true;
}

using Values = std::map<std::string, TRegValue>;

[[noreturn]] void Unreadable(const std::string& file, int error) {
    throw Exception("The options file \"" + file + "\" cannot be read: " + std::strerror(error) +
                    ". It is left as it is; make it readable or remove it.");
}

// The whole key file. False when it does not exist; any other failure raises Exception: a file
// taken for missing would be replaced by the defaults on the next save.
bool ReadWhole(const std::string& file, std::string& data) {
    data.clear();
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return false;
        Unreadable(file, errno);
    }
    char buffer[4096];
    while (true) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            close(fd);
            Unreadable(file, error);
        }
        data.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return true;
}

// Reads a key file. False when it does not exist; raises Exception when it is broken or unreadable.
bool Load(const std::string& file, Values& values) {
    values.clear();
    std::string data;
    if (!ReadWhole(file, data)) return false;
    std::istringstream in(data);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const auto broken = [&](const char* why) {
            throw Exception("The options file \"" + file + "\" is broken at line " + std::to_string(number) + ": " + why +
                            ". It is left as it is; correct or remove it.");
        };
        const auto eq = line.find('=');
        if (eq == std::string::npos) broken("no \"=\"");
        std::string name, text;
        if (!Unescape(line.substr(0, eq), name)) broken("bad escape in the name");
        const std::string rest = line.substr(eq + 1);
        if (rest.rfind("int:", 0) == 0) {
            const std::string digits = rest.substr(4);
            char* end = nullptr;
            errno = 0;
            const long long v = std::strtoll(digits.c_str(), &end, 10);
            if (digits.empty() || *end != '\0' || errno != 0 || v < INT32_MIN || v > INT32_MAX) broken("not a 32-bit integer");
            values[name] = TRegValue::Int(static_cast<std::int32_t>(v));
        } else if (rest.rfind("str:", 0) == 0) {
            if (!Unescape(rest.substr(4), text)) broken("bad escape in the text");
            values[name] = TRegValue::Str(text);
        } else {
            broken("unknown value type");
        }
    }
    return true;
}

void Save(const std::string& file, const Values& values) {
    std::ostringstream text;
    text << "# 3D Tidewell options\n";
    for (const auto& [name, value] : values) {
        text << Escape(name) << '=';
        if (value.kind == TRegValue::Kind::Integer)
            text << "int:" << value.integer;
        else
            text << "str:" << Escape(value.text);
        text << '\n';
    }
    const std::string data = text.str();
    const std::string temp = file + ".tmp." + std::to_string(getpid());
    const auto fail = [&](const char* step) {
        const std::string reason = std::strerror(errno);
        unlink(temp.c_str());
        throw Exception("Cannot write the options file \"" + file + "\" (" + step + "): " + reason);
    };
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) fail("create");
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            close(fd);
            fail("write");
        }
        done += static_cast<std::size_t>(n);
    }
    if (fsync(fd) != 0) {
        close(fd);
        fail("sync");
    }
    if (close(fd) != 0) fail("close");
    if (rename(temp.c_str(), file.c_str()) != 0) fail("rename");
}

bool MakeDirectories(const std::string& dir) {
    std::string partial;
    std::size_t start = 0;
    while (start <= dir.size()) {
        const auto slash = dir.find('/', start);
        partial = dir.substr(0, slash);
        if (!partial.empty() && mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    return true;
}

class FileKey final : public IRegistryKey {
public:
    explicit FileKey(std::string file) : file_(std::move(file)) {}

    std::optional<TRegValue> Read(const std::string& name) override {
        Values values;
        Load(file_, values);
        const auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void Write(const std::string& name, const TRegValue& value) override {
        // Re-read first: a broken file raises here and is never overwritten, and values other
        // processes wrote meanwhile are kept.
        Values values;
        Load(file_, values);
        values[name] = value;
        Save(file_, values);
    }

private:
    std::string file_;
};

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : fallback;
}

}  // namespace

TFileOptionsStore::TFileOptionsStore()
    : userRoot_(EnvOr("XDG_CONFIG_HOME", EnvOr("HOME", "/tmp") + "/.config")),
      machineRoot_([] {
          const std::string dirs = EnvOr("XDG_CONFIG_DIRS", "/etc/xdg");
          return dirs.substr(0, dirs.find(':'));
      }()) {}

std::string TFileOptionsStore::KeyFile(TRootKey root, const std::string& path) const {
    std::string relative;
    std::size_t start = 0;
    bool first = true;
    while (start <= path.size()) {
        const auto sep = path.find('\\', start);
        std::string part = path.substr(start, sep == std::string::npos ? std::string::npos : sep - start);
        start = sep == std::string::npos ? path.size() + 1 : sep + 1;
        if (part.empty()) continue;
        if (first && part == "Software") {
            first = false;
            continue;
        }
        first = false;
        if (part == "." || part == "..") return {};
        for (auto& c : part)
            if (c == '/') c = '_';
        relative += (relative.empty() ? "" : "/") + part;
    }
    if (relative.empty()) return {};
    return (root == TRootKey::CurrentUser ? userRoot_ : machineRoot_) + "/" + relative + ".conf";
}

std::unique_ptr<IRegistryKey> TFileOptionsStore::OpenKey(TRootKey root, const std::string& path, bool writable) {
    const auto file = KeyFile(root, path);
    if (file.empty()) return nullptr;
    // Only a missing file is no key: one that cannot be read says why when it is read or written.
    struct stat info;
    const bool missing = stat(file.c_str(), &info) != 0 && errno == ENOENT;
    if (writable) {
        if (root == TRootKey::LocalMachine) return nullptr;  // machine-wide options are read-only here
        if (!MakeDirectories(file.substr(0, file.rfind('/')))) return nullptr;
        if (missing) {
            Values none;
            try {
                Save(file, none);
            } catch (const Exception&) {
                return nullptr;
            }
        }
    } else if (missing) {
        return nullptr;
    }
    return std::make_unique<FileKey>(file);
}
