// Writes every regression design through the document into a folder: the fuzz targets' seeds.
#include <cstdio>
#include <string>

#include "designs/Designs.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s folder\n", argv[0]);
        return 2;
    }
    int failed = 0;
    for (const RegressionDesign& d : RegressionDesigns()) {
        if (!WriteRegressionDesign(d, std::string(argv[1]) + "/" + d.name + ".SEF")) {
            std::fprintf(stderr, "cannot write %s\n", d.name);
            ++failed;
        }
    }
    return failed ? 1 : 0;
}
