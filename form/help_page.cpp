#include "form/help_page.h"

#include <fstream>

#include "app/exception.h"

namespace {

bool FileExists(const std::string& path) { return std::ifstream(path, std::ios::binary).good(); }

}  // namespace

std::string THelpPage::Path() const {
    const std::string installed = InstallPath + kHelpFileName;
    if (FileExists(installed)) return installed;
    const std::string dir = TemporaryDirectory ? TemporaryDirectory() : std::string();
    const std::string page = dir + kHelpFileName;
    const std::string html = EmbeddedPage ? EmbeddedPage() : std::string();
    if (html.empty()) throw Exception("The help page is missing from the program.");
    std::ofstream out(page, std::ios::binary | std::ios::trunc);
    out << html;
    out.close();
    if (!out) throw Exception("The help page cannot be written to " + page + ".");
    return page;
}

void THelpPage::Open() const {
    const std::string page = Path();
    if (!OpenDocument || !OpenDocument(page))
        throw Exception("The help page " + page + " cannot be opened: no program is set to open web pages.");
}
