// vexmira-check-picture FILE
//
// Tells whether a PNG image shows anything: it counts the pixels whose colour
// differs from the top-left corner's. Scripts use it to check a picture drawn
// somewhere else (a fresh installation, for instance) with nothing but the
// project's own PNG reader.
//   exit 0  "FILE: WIDTHxHEIGHT, N pixels drawn"
//   exit 1  the picture is one colour all over
//   exit 2  the file is missing or not a PNG image (the reason on standard error)

#include "Platform/image/PngReader.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

long drawnPixelCount(const Platform::PngImage& image) {
    long drawn = 0;
    for (std::size_t i = 0; i < image.rgba.size(); i += 4)
        drawn +=
            !std::equal(image.rgba.begin() + i, image.rgba.begin() + i + 4, image.rgba.begin());
    return drawn;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vexmira-check-picture FILE\n");
        return 2;
    }
    const std::string path = argv[1];
    std::string error;
    const auto image = Platform::readPngFile(path, &error);
    if (!image) {
        std::fprintf(stderr, "vexmira-check-picture: %s: %s\n", path.c_str(), error.c_str());
        return 2;
    }
    const long drawn = drawnPixelCount(*image);
    std::printf("%s: %dx%d, %ld pixels drawn\n", path.c_str(), image->width, image->height, drawn);
    if (drawn == 0) {
        std::fprintf(stderr, "vexmira-check-picture: %s is blank\n", path.c_str());
        return 1;
    }
    return 0;
}
