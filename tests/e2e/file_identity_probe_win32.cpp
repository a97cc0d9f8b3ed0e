// Reads a program file's identity as the shell shows it in the file's Properties: the number of
// icons in it and the strings of its version resource, one "<name> <value>" line each:
//   icons <n>
//   ProductName <text> ... (CompanyName, ProductVersion, FileVersion, FileDescription)
// Exit status 0 when the file has a version resource.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"

int main() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count != 2) {
        std::printf("usage: file_identity_probe <file>\n");
        return 2;
    }
    const wchar_t* file = args[1];
    std::printf("icons %u\n", ExtractIconExW(file, -1, nullptr, nullptr, 0));
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(file, &handle);
    std::vector<BYTE> info(size);
    if (size == 0 || !GetFileVersionInfoW(file, 0, size, info.data())) {
        std::printf("no version resource\n");
        return 1;
    }
    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof *translation) {
        std::printf("no translation\n");
        return 1;
    }
    for (const wchar_t* name : {L"ProductName", L"CompanyName", L"ProductVersion", L"FileVersion", L"FileDescription"}) {
        wchar_t query[128];
        swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language, translation->codePage, name);
        wchar_t* value = nullptr;
        if (VerQueryValueW(info.data(), query, reinterpret_cast<void**>(&value), &length) && value)
            std::printf("%s %s\n", Utf8Text(name).c_str(), Utf8Text(value).c_str());
    }
    LocalFree(args);
    return 0;
}
