#pragma once
// Finds and loads the GTK module (platform/gtk/gtk_module.h) once per process: beside the real
// executable (the build tree, or a copy placed with the program), in the install layout
// relative to it (bin/ -> lib/3dtidewell/), then where this build installs it.
#include <string>

#include "platform/gtk/gtk_module.h"

// The module, loading it on the first call; nullptr when it cannot be loaded, and then error
// (when given) names the module and what dlopen said. A failure is not retried.
IGtkModule* LoadGtkModule(std::string* error = nullptr);
// The module when an earlier call loaded it; never loads it.
IGtkModule* LoadedGtkModule();
