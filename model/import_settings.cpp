#include "model/import_settings.h"

bool LoadFromResources = false;
std::string ModelDirectory;
std::string TextureDirectory;
