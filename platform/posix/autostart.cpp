#include "platform/posix/autostart.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/exception.h"

std::string UserConfigHome() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/') return config;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.config";
}

std::string AutostartFile(const TAutostartKind& kind, const std::string& configHome) {
    return configHome + "/autostart/" + kind.FileName;
}

std::string AutostartEntry(const TAutostartKind& kind, const std::string& program) {
    // The Exec key's quoting: a path with a reserved character goes in double quotes, inside
    // which ", `, $ and \ are escaped; the desktop file's own escape doubles each backslash.
    bool plain = !program.empty();
    for (const char c : program)
        if (std::strchr(" \t\n\"'\\><~|&;$*?#()`=%", c)) plain = false;
    std::string exec;
    if (plain) {
        exec = program;
    } else {
        exec.push_back('"');
        for (const char c : program) {
            if (c == '"' || c == '`' || c == '$') exec += "\\\\";
            if (c == '\\') exec += "\\\\\\";
            exec += c;
            if (c == '%') exec += c;
        }
        exec += '"';
    }
    std::string entry = "[Desktop Entry]\nType=Application\nName=";
    entry.append(kind.Name).append("\nComment=").append(kind.Comment).append("\nExec=").append(exec);
    entry.append(" ").append(kind.Argument).append("\nNoDisplay=true\nX-GNOME-Autostart-enabled=true\n");
    return entry;
}

void WriteAutostartEntry(const TAutostartKind& kind, const std::string& configHome, const std::string& program) {
    const std::string folder = configHome + "/autostart";
    mkdir(configHome.c_str(), 0700);
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
        throw Exception(std::string(kind.Name) + ": cannot make " + folder + " (" + std::strerror(errno) + ")");
    const std::string file = AutostartFile(kind, configHome);
    const std::string temporary = file + ".new";
    std::FILE* out = std::fopen(temporary.c_str(), "w");
    const std::string entry = AutostartEntry(kind, program);
    const bool written = out && std::fwrite(entry.data(), 1, entry.size(), out) == entry.size();
    const bool closed = out && std::fclose(out) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), file.c_str()) != 0) {
        const int error = errno;
        std::remove(temporary.c_str());
        throw Exception(std::string(kind.Name) + ": cannot write " + file + " (" + std::strerror(error) + ")");
    }
}

void RemoveAutostartEntry(const TAutostartKind& kind, const std::string& configHome) {
    const std::string file = AutostartFile(kind, configHome);
    if (unlink(file.c_str()) != 0 && errno != ENOENT)
        throw Exception(std::string(kind.Name) + ": cannot remove " + file + " (" + std::strerror(errno) + ")");
}
