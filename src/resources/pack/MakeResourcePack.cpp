// Writes the program's resource pack: every picture of the pack table under
// its id, in the format the program reads at start-up.
#include <cstdio>
#include <map>

#include "platform/ui/ResourceImages.h"
#include "platform/ui/ResourcePack.h"
#include "resources/UiResources.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <pack file>\n", argv[0]);
        return 2;
    }
    size_t count = 0;
    const res::PackPicture* pictures = res::FindPackPictures(count);
    std::map<uint32_t, fw::Image> images;
    for (size_t i = 0; i < count; ++i) {
        const res::PackPicture& p = pictures[i];
        if (!p.picture || !images.emplace(p.id, fw::ImageFromPicture(*p.picture)).second) {
            std::fprintf(stderr, "%s: picture %u is missing or given twice\n", argv[0], unsigned(p.id));
            return 1;
        }
    }
    if (!fw::ResourcePack::Write(argv[1], images)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
