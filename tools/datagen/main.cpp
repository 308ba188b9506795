// Writes the complete data folders of both programs: <out>/gl and <out>/glide.
#include "tools/datagen/generate.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    if (!generateData(argv[1])) {
        std::fprintf(stderr, "datagen: failed\n");
        return 1;
    }
    return 0;
}
