#pragma once
// The help page: the installed copy beside the program, else the page built into the program,
// written to the temporary folder.
#include <functional>
#include <string>

inline constexpr const char* kHelpFileName = "3DTidewell.html";

struct THelpPage {
    std::string InstallPath;
    // The temporary folder, with a trailing separator.
    std::function<std::string()> TemporaryDirectory;
    // The page's HTML as built into the program.
    std::function<std::string()> EmbeddedPage;
    // Opens a file with the desktop's handler; false when nothing took it.
    std::function<bool(const std::string& target)> OpenDocument;

    // The page's file. Raises Exception when neither copy can be had.
    std::string Path() const;
    // Opens the page; raises Exception with the reason when it cannot.
    void Open() const;
};
