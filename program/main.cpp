// Program entry of the saver on both targets: the application object, the main form over the
// platform's services and the scene, and the message loop. Exit status 0 for a normal end, 1
// when an error was reported.
#include <exception>
#include <string>
#include <vector>

#include "app/message_loop.h"
#include "gl/fpu.h"
#include "model/resource_finder.h"
#include "platform/services.h"
#include "scene/form_fishes.h"
#include "scene/aquarium_scene.h"
#include "scene/model_import_assets.h"

namespace {

constexpr const char* kErrorCaption = "3D Tidewell Screen Saver Error!";

int RunSaver(std::vector<std::string> args) {
    MaskFPUExceptions();
    TApplication application;
    application.Title = "3D Tidewell";
    application.HelpFile = "3DTIDEWELL.HLP";

    auto host = CreateApplicationHost(std::move(args));
    auto store = CreateOptionsStore();
    auto guard = CreateInstanceGuard();
    auto saverSystem = CreateSaverSystem();
    auto launcher = CreateProcessLauncher();
    auto driver = CreateDisplayModeDriver();
    auto player = CreateSoundPlayer([](const std::string& name) {
        TResourceBytes bytes;
        if (!ProgramResources().Find(rkWave, name, bytes)) return std::string_view();
        return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    });
    auto windows = CreateWindowSystem();
    TAquarium aquarium(ModelImportAssets(), ProcessPriority());
    TPreviewPicture previewPicture(ModelImportAssets());
    IWindowSystem& windowSystem = *windows;

    TFormFishes form(TFormServices{application, *host, *store, *guard, *saverSystem, *launcher, *driver, *player,
                                   windowSystem, aquarium,
                                   [&windowSystem](ISaverWindow& window) { return CreateDrawingWindow(windowSystem, window); },
                                   ShowErrorMessage, SceneDescriptionFile, &previewPicture});
    // What the scene needs from the form: known once the form has been created.
    aquarium.InstallPath = form.InstallPath;
    aquarium.ExeName = form.ScreenSaver().ExeName();
    aquarium.WriteLog = [&form](const std::string& text) { form.ScreenSaver().WriteLog(text); };
    aquarium.Sound = &form.Sound();
    // The scene stops the sound when it is released: release it while the form's sound exists.
    struct TDetachSound {
        TAquarium& scene;
        ~TDetachSound() {
            try {
                scene.ReleaseScene();
            } catch (...) {
            }
            scene.Sound = nullptr;
        }
    } detachSound{aquarium};
    form.Show();
    if (!application.Terminated()) RunMessageLoop(application, windowSystem);
    form.Destroy();
    return form.ErrorReported() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return RunSaver(std::vector<std::string>(argv, argv + argc));
    } catch (const std::exception& e) {
        ShowErrorMessage(e.what(), kErrorCaption);
        return 1;
    }
}
