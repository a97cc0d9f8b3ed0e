#include "form/about_box.h"

#include <exception>

TAboutInfo MakeAboutInfo(const TAboutSource& source) {
    const std::string product = source.Title + " Screen Saver";
    TAboutInfo about;
    about.Caption = "About " + product;
    about.ProductName = product;
    about.Version = "Version " + std::to_string(source.MajorVersion) + "." + std::to_string(source.MinorVersion);
    about.Comments = source.GLInfo;
    if (!source.HomePage.empty()) {
        about.LinkText = source.HomePage;
        about.LinkTarget = source.HomePage;
    } else {
        // No home page is known: the link leads to the help page instead of a made-up address.
        about.LinkText = "Help and troubleshooting";
        try {
            about.LinkTarget = source.HelpPagePath ? source.HelpPagePath() : std::string();
        } catch (const std::exception&) {
            about.LinkText.clear();
        }
    }
    if (source.Picture) about.Picture = source.Picture();
    return about;
}
