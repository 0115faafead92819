#include "schematics/Pictures.h"
bool LoadSectionPicture(UINT pictureId, fw::Image& out) { out = fw::Image(600, 400, 0xFFFFFFFFu); return true; }
