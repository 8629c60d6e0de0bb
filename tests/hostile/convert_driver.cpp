// The converter's path from picture to icon behind the converter's own
// command line (--size, -o, one picture), for builds that do not have it.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "app/app_state.h"
#include "icon/generation.h"

int main(int argc, char** argv) {
    int size = 48;
    const char* output = nullptr;
    const char* picture = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
            size = std::strcmp(argv[++i], "16") == 0 ? 16 : 48;
        } else if (std::strcmp(argv[i], "-o") == 0 && i + 1 < argc) {
            output = argv[++i];
        } else {
            picture = argv[i];
        }
    }
    if (!output || !picture) {
        std::fprintf(stderr, "usage: %s [--size 48|16] -o OUTPUT.ico PICTURE\n", argv[0]);
        return 2;
    }
    std::ifstream in(picture, std::ios::binary);
    const yz::ByteBuffer bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const yz::imaging::Rendering shown = yz::icon::sourceBoxRendering(bytes);
    if (!shown.drawn) {
        std::fprintf(stderr, "%s: %s\n", picture, shown.error.c_str());
        return 1;
    }
    yz::AppState state;
    yz::selectIconSize(state, size);
    state.tolerance = 35;
    if (!yz::storeGeneration(state, yz::icon::snapshotOf(shown.image, size), true)) {
        std::fprintf(stderr, "%s: no snapshot\n", picture);
        return 1;
    }
    std::ofstream out(output, std::ios::binary);
    out.write(reinterpret_cast<const char*>(state.iconBytes.data()), static_cast<std::streamsize>(state.iconBytes.size()));
    return out ? 0 : 1;
}
