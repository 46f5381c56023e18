#pragma once

// The compiled-in default images, one per destination 0..13: the contents of a new
// document. They are built from the default contents of the memory map and the band
// memories and search edges of each destination the first time they are asked for.

#include <cstdint>

class cmcEeprom;

// Writes default image d into map bytes 0..116,799 of the image (a destination outside
// 0..13 gives image 0); bytes above the map are left as they are. The image must hold at
// least the map; a smaller one is left untouched.
void FillDefaultImage(cmcEeprom& image, int destination);

// The map bytes of default image d (outside 0..13: image 0).
const uint8_t* DefaultImageBytes(int destination);
