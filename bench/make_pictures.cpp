// Writes the benchmark pictures: make_pictures big FILE.jpg writes the
// 6000x4000 quality-92 photo; make_pictures batch FOLDER COUNT writes COUNT
// pictures of ordinary sizes, mostly JPEG at various qualities from 300x300
// to 4000x3000, every fifth a BMP from 640x480 to 1280x720.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "test_photo.h"

namespace {

bool save(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

int usage() {
    std::fprintf(stderr, "usage: make_pictures big FILE.jpg | make_pictures batch FOLDER COUNT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "big") == 0) {
        return save(argv[2], bench::makePhotoJpeg(6000, 4000, 92)) ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "batch") == 0) {
        const int count = std::atoi(argv[3]);
        // Sizes people make icons from: screenshots, web pictures, phone
        // photos scaled down, a few camera-sized ones.
        const int sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 720}, {1600, 1200},
                                {512, 512}, {1920, 1080}, {300, 300}, {2048, 1536}, {4000, 3000}};
        const int qualities[] = {75, 85, 92, 95};
        for (int i = 0; i < count; ++i) {
            // BMPs are screenshots and the like: the four smaller sizes.
            const bool bmp = i % 5 == 4;
            const auto& size = bmp ? sizes[(i / 5) % 4] : sizes[i % 10];
            char name[64];
            std::snprintf(name, sizeof name, "/pic%03d.%s", i, bmp ? "bmp" : "jpg");
            const auto seed = static_cast<std::uint32_t>(100 + i);
            const auto bytes = bmp ? bench::makePhotoBmp(size[0], size[1], seed)
                                   : bench::makePhotoJpeg(size[0], size[1], qualities[i % 4], seed);
            if (!save(argv[2] + std::string(name), bytes)) return 1;
        }
        return 0;
    }
    return usage();
}
