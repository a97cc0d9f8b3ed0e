// TEMPORARY until model import lands: the test fakes stand in for the art.
#include "scene/model_import_assets.h"
#include "tests/scene/fake_scene_assets.h"
ISceneAssets& ModelImportAssets() { static FakeSceneAssets assets; return assets; }
