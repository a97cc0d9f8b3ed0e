// Stands in for a program the saver starts (the ".exe" copy of Run As EXE, the desktop's handler
// of the help page): writes the command line it was given, as UTF-8, to command-line.txt beside
// itself, and ends with status 0.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/wide_text.h"

int main() {
    wchar_t module[32768] = {};
    const DWORD n = GetModuleFileNameW(nullptr, module, 32768);
    if (n == 0 || n >= 32768) return 1;
    std::wstring path(module, n);
    path = path.substr(0, path.rfind(L'\\') + 1) + L"command-line.txt";
    std::FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return 1;
    const std::string line = Utf8Text(GetCommandLineW());
    const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    return std::fclose(file) == 0 && written ? 0 : 1;
}
