// zelm-assets: writes the program's data files.
//   zelm-assets OUTDIR            font.pcx, particle.pcx and height.pcx into OUTDIR
//   zelm-assets --png OUTDIR      the same images as PNG files, for looking at them
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/asset_images.hpp"
#include "tools/png_writer.hpp"

namespace {

// Writes bytes to path. Returns 1, or 0 after saying why on stderr.
int write_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::perror(path.c_str());
        return 0;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "%s: write failed\n", path.c_str());
        return 0;
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const bool png = argc == 3 && std::strcmp(argv[1], "--png") == 0;
    if (argc != 2 && !png) {
        std::fprintf(stderr, "usage: zelm-assets [--png] OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[argc - 1];
    for (const zelm::Asset& asset : zelm::assets) {
        const zelm::IndexedImage image = asset.make();
        std::string path = dir + "/" + asset.file_name;
        if (png) {
            path.replace(path.size() - 4, 4, ".png");
            if (zelm::write_png(path.c_str(), image) == 0) {
                std::fprintf(stderr, "%s: cannot write PNG\n", path.c_str());
                return 1;
            }
        } else if (write_file(path, zelm::encode_pcx(image)) == 0) {
            return 1;
        }
    }
    return 0;
}
