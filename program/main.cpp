// Program entry of the saver on both targets: the application object, the main form over the
// platform's services and the scene, and the message loop. Exit status 0 for a normal end, 1
// when an error was reported or no display platform could start, 2 for a command line that
// cannot be run (a mistake in it, or an unknown --platform).
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "app/exception.h"
#include "app/idle_watch.h"
#include "app/message_loop.h"
#include "app/screen_saver_app.h"
#include "form/form_fishes.h"
#include "form/saver_options.h"
#include "gl/fpu.h"
#include "model/jpeg_decoder.h"
#include "model/resource_finder.h"
#include "platform/platform_choice.h"
#include "platform/services.h"
#include "scene/aquarium_scene.h"
#include "scene/model_import_assets.h"

namespace {

constexpr const char* kErrorCaption = "3D Tidewell Screen Saver Error!";

// The product's home page for the About box, given at build time; none leads to the help page.
#ifndef TIDEWELL_HOME_PAGE
#define TIDEWELL_HOME_PAGE ""
#endif

std::string EmbeddedHelpPage() {
    TResourceBytes bytes;
    if (!ProgramResources().Find(rkRawData, ResourceNameFromFileName(kHelpFileName), bytes)) return {};
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// The dialog picture as the About box shows it; an empty picture when it cannot be decoded.
TDialogPicture DialogPicture() {
    TDialogPicture picture;
    TResourceBytes bytes;
    if (!ProgramResources().Find(rkRawData, ResourceNameFromFileName(kPreviewPictureName), bytes)) return picture;
    try {
        const TBitmap bitmap = DecodeJpeg(bytes);
        if (!bitmap.Usable()) return picture;
        picture.Width = bitmap.Width;
        picture.Height = bitmap.Height;
        picture.Rgb.reserve(static_cast<std::size_t>(bitmap.Width) * bitmap.Height * 3);
        for (std::int32_t y = 0; y < bitmap.Height; ++y) {
            const std::uint8_t* row = bitmap.ScanLine(y);
            for (std::int32_t x = 0; x < bitmap.Width; ++x) {
                const TBitmapColour colour = bitmap.ColourAt(row, x);
                picture.Rgb.insert(picture.Rgb.end(), {colour.red, colour.green, colour.blue});
            }
        }
    } catch (const std::exception&) {
        return {};
    }
    return picture;
}

// A hack runs under xscreensaver over a blanked screen, where no one could answer a message box:
// its errors are one line on the error stream, which xscreensaver logs.
void ReportError(IDisplayPlatform* platform, bool hack, const std::string& text, const std::string& caption) {
    if (!hack && platform) {
        platform->ShowErrorMessage(text, caption);
        return;
    }
    std::string line;
    for (const char c : text) {
        if (c != '\r' && c != '\n')
            line += c;
        else if (!line.empty() && line.back() != ' ')
            line += ' ';
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), line.c_str());
}

// --idle-watch: no display platform, no scene, its lines on the error stream.
int WatchIdleness(IApplicationHost& host) {
    auto session = CreateIdleWatchSession(host.Arguments().empty() ? std::string() : host.Arguments()[0]);
    if (!session) throw Exception("--idle-watch runs on Linux Wayland sessions; this system starts the screen saver itself");
    auto store = CreateOptionsStore();
    return RunIdleWatch(*session, StoredIdleMinutes(*store),
                        [](const std::string& line) { std::fprintf(stderr, "3dtidewell: %s\n", line.c_str()); });
}

// hack: set as soon as the command line is known to be a hack's, for the caller's reports.
int RunSaver(std::vector<std::string> args, bool& hack, TPlatformChoice& platforms) {
    MaskFPUExceptions();
    SetResourceFinder(&ProgramResources());
    TApplication application;
    application.Title = "3D Tidewell";
    application.HelpFile = "3DTIDEWELL.HLP";

    auto host = CreateApplicationHost(std::move(args));
    if (host->RunsHacks()) {
        const std::string& program = host->Arguments().empty() ? std::string("3dtidewell") : host->Arguments()[0];
        switch (ReadProgramRequest(host->Arguments())) {
            case TProgramRequest::Help: std::fputs(UsageText(program).c_str(), stdout); return 0;
            case TProgramRequest::Version: std::printf("3D Tidewell %d.%d\n", kMajorVersion, kMinorVersion); return 0;
            case TProgramRequest::Run: break;
        }
    }
    // A command line that cannot run says so before anything needs the display (run_modes.h).
    const TRunNeeds& needs = ChooseRunMode(host->Arguments(), CommandLineRules(*host)).Mode->Needs;
    const bool errorStream = needs.Errors == TErrorReport::ErrorStream;
    hack = errorStream;
    if (needs.WatchesIdle) return WatchIdleness(*host);
    if (needs.Form == TFormStance::Dialog && platforms.Requested().empty()) platforms.Prefer(DialogPlatform());
    // A run that draws from its first moment (the saver, a hack) starts loading the GL driver as
    // soon as there is a window system: the load takes longer than the rest of the start.
    IDisplayPlatform& platform = platforms.Start();
    IWindowSystem& windowSystem = platform.Windows();
    if (needs.DrawsAtOnce) windowSystem.PrepareDrawing();
    auto store = CreateOptionsStore();
    auto guard = CreateInstanceGuard();
    auto saverSystem = platform.CreateSaverSystem();
    auto launcher = CreateProcessLauncher();
    auto driver = platform.CreateDisplayModeDriver();
    auto player = CreateSoundPlayer([](const std::string& name) {
        TResourceBytes bytes;
        if (!ProgramResources().Find(rkWave, name, bytes)) return std::string_view();
        return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    });
    TPreviewPicture previewPicture(ModelImportAssets(), SystemLibraryLoader());
    auto monitors = platform.CreateMonitorList();
    const std::string programPath = host->Arguments().empty() ? std::string() : host->Arguments()[0];
    // Only the wallpaper's pace asks it; nothing connects before the first question.
    auto power = CreatePowerSource();

    const auto showError = [&platform, errorStream](const std::string& text, const std::string& caption) {
        ReportError(&platform, errorStream, text, caption);
    };
    TFormFishes form(TFormServices{
        .Application = application,
        .Host = *host,
        .Registry = *store,
        .Guard = *guard,
        .SaverSystem = *saverSystem,
        .Launcher = *launcher,
        .DisplayDriver = *driver,
        .SoundPlayer = *player,
        .Windows = windowSystem,
        .MakeAquarium =
            [](TAquariumHost aquariumHost) {
                return std::make_unique<TAquarium>(ModelImportAssets(), ProcessPriority(), SystemClock(),
                                                   SystemLibraryLoader(), OpenProfileFile, std::move(aquariumHost));
            },
        .MakeDrawingWindow = [&platform](ISaverWindow& window) { return platform.CreateDrawingWindow(window); },
        .ShowError = showError,
        .SceneDescriptionFile = SceneDescriptionFile,
        .PreviewPicture = &previewPicture,
        .MakeSettingsView = [&platform] { return platform.CreateSettingsView(); },
        .OpenDocument = [&platform](const std::string& target) { return platform.OpenWithDesktop(target); },
        .DocumentFolder = DocumentFolder,
        .WritePrivateFile = WritePrivateFile,
        .HelpPage = EmbeddedHelpPage,
        .DialogPicture = DialogPicture,
        .HomePage = TIDEWELL_HOME_PAGE,
        .Monitors = monitors.get(),
        .SetSessionStart = SessionStartSetter(programPath),
        .SetWallpaperSessionStart = WallpaperSessionStartSetter(programPath),
        .WallpaperUnavailable = WallpaperUnavailable,
        .SeparatePreview = SeparatePreview(programPath, platform.Name()),
        .Power = power.get(),
    });
    form.Show();
    if (!application.Terminated()) windowSystem.RunLoop(application);
    form.Destroy();
    // A quit signal ends the run as asked, even one that closed an error box.
    return form.ErrorReported() && !windowSystem.QuitSignalled() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    bool hack = false;
    std::vector<std::string> args(argv, argv + argc);
    const char* program = argc > 0 ? argv[0] : "3dtidewell";
    std::unique_ptr<TPlatformChoice> platforms;
    try {
        platforms = std::make_unique<TPlatformChoice>(DisplayPlatforms(), args, std::getenv("TIDEWELL_PLATFORM"));
        return RunSaver(std::move(args), hack, *platforms);
    } catch (const EHackUsage& e) {
        std::fprintf(stderr, "%s: %s\n", program, e.what());
        return 2;
    } catch (const EPlatformUsage& e) {
        std::fprintf(stderr, "%s: %s\n", program, e.what());
        return 2;
    } catch (const EPlatformStart& e) {
        std::fprintf(stderr, "%s: %s\n", program, e.what());
        return 1;
    } catch (const std::exception& e) {
        ReportError(platforms ? platforms->ForMessages() : nullptr, hack, e.what(), kErrorCaption);
        return 1;
    }
}
