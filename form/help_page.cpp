#include "form/help_page.h"

#include <fstream>

#include "app/exception.h"
#include "app/utf8_path.h"

namespace {

bool FileExists(const std::string& path) { return std::ifstream(Utf8Path(path), std::ios::binary).good(); }

}  // namespace

std::string THelpPage::Path() const {
    for (const std::string& folder : {InstallPath, DocumentFolder}) {
        if (folder.empty()) continue;
        const std::string installed = folder + kHelpFileName;
        if (FileExists(installed)) return installed;
    }
    const std::string html = EmbeddedPage ? EmbeddedPage() : std::string();
    if (html.empty()) throw Exception("The help page is missing from the program.");
    const std::string page = WritePrivateFile ? WritePrivateFile(kHelpFileName, html) : std::string();
    if (page.empty()) throw Exception("The help page cannot be written to a folder of your own.");
    return page;
}

void THelpPage::Open() const {
    const std::string page = Path();
    if (!OpenDocument || !OpenDocument(page))
        throw Exception("The help page " + page + " cannot be opened: no program is set to open web pages.");
}
