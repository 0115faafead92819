// Pictures of the program's resources as images.
#pragma once

#include "platform/core/Types.h"
#include "platform/ui/Image.h"

namespace res {
struct Picture;
}

namespace fw {

Image ImageFromPicture(const res::Picture& picture);
// The icon of the resource id; a null image when there is none.
Image LoadIconImage(UINT id);

}  // namespace fw
