#pragma once
// Where model import looks names up; the scene sets these before it loads anything.
#include <string>

// True: models, frame lists and textures come from the program's resources, named by
// ResourceNameFromFileName; false: from files.
extern bool LoadFromResources;
// Put in front of every model and frame-list name (plain concatenation).
extern std::string ModelDirectory;
// Put in front of every texture name (plain concatenation).
extern std::string TextureDirectory;
