#pragma once
// The help page: an installed copy (beside the program, or where the package keeps its
// documents), else the page built into the program, written where only this user can write.
#include <functional>
#include <string>

inline constexpr const char* kHelpFileName = "3DTidewell.html";

struct THelpPage {
    std::string InstallPath;
    // The package's documents folder (trailing separator); empty when the platform has none.
    std::string DocumentFolder;
    // Writes a file of this name and content where only this user can write; its path, or
    // empty when it cannot.
    std::function<std::string(const std::string& name, const std::string& content)> WritePrivateFile;
    // The page's HTML as built into the program.
    std::function<std::string()> EmbeddedPage;
    // Opens a file with the desktop's handler; false when nothing took it.
    std::function<bool(const std::string& target)> OpenDocument;

    // The page's file. Raises Exception when neither copy can be had.
    std::string Path() const;
    // Opens the page; raises Exception with the reason when it cannot.
    void Open() const;
};
