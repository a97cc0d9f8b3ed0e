#pragma once
// The 150 x 110 picture of the settings dialog and the About box: a painted still of the tank.
#include <vector>

#include "tools/artgen/fish.h"
#include "tools/artgen/image.h"

namespace art {

Image MakeDialogPicture(const std::vector<FishArt>& fishes, const Image& sand, const Image& caustics,
                        const Image& bubbleColour, const Image& bubbleAlpha);

}  // namespace art
