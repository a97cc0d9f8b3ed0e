#pragma once
// What the About box shows: the product, its version, the OpenGL summary and a link to the home
// page, or to the help page when no home page is known.
#include <functional>
#include <string>

#include "form/settings_view.h"

struct TAboutSource {
    std::string Title;  // the application's title
    int MajorVersion = 0;
    int MinorVersion = 0;
    std::string GLInfo;
    std::string HomePage;
    // The help page's file; raises when there is none.
    std::function<std::string()> HelpPagePath;
    std::function<TDialogPicture()> Picture;
};

TAboutInfo MakeAboutInfo(const TAboutSource& source);
