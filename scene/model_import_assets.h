#pragma once
// The scene's assets as the program has them: model import from the embedded resources (or
// from files under the install path when import is pointed there).
#include "scene/scene_assets.h"

// Lives for the whole process.
ISceneAssets& ModelImportAssets();
