#pragma once

#include "link/module_image.h"
#include "params/module_parameters.h"

#include <QString>

// The mappings between a module's project parameters and the image of its
// blocks. Fields that a mapping does not set keep what the target held.

// The image to download: what the module's blocks are to hold, with date as
// the date of the last programming.
void BuildWriteImage(CModuleImage &writeImage, const ModuleParameters &module, ModuleFamily family,
                     const QString &date);

// The image the project holds for a module, to compare it with the module
// itself.
void FillFromModule(CModuleImage &image, const ModuleParameters &module, ModuleFamily family);

// What an upload takes over from the connected image. channel is 0 for
// both channels, else the one channel to take; the module-level values are
// always taken. With keepTags set (a module just made from the connected
// one) the channel tags stay. True when the "DIP configurable" flag changed.
bool TakeOverImage(ModuleParameters &module, const CModuleImage &image, ModuleFamily family, int channel,
                   bool keepTags);
