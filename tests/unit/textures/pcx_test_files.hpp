// Hand-made PCX files for the loader tests, and temporary files to load them from.
#pragma once

#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace zelm::pcxtest {

using Bytes = std::vector<std::uint8_t>;

// A palette whose entry k is (k, 255 - k, k / 2).
inline std::array<std::uint8_t, 768> ramp_palette() {
    std::array<std::uint8_t, 768> palette{};
    for (int k = 0; k < 256; ++k) {
        palette[k * 3] = static_cast<std::uint8_t>(k);
        palette[k * 3 + 1] = static_cast<std::uint8_t>(255 - k);
        palette[k * 3 + 2] = static_cast<std::uint8_t>(k / 2);
    }
    return palette;
}

// A file with the given image window and packet bytes, the 0x0C marker and the palette.
inline Bytes pcx_file(int xmin, int ymin, int xmax, int ymax, const Bytes& packets,
                      const std::array<std::uint8_t, 768>& palette = ramp_palette()) {
    Bytes file(128, 0);
    file[0] = 10;
    file[1] = 5;
    file[2] = 1;
    file[3] = 8;
    const int fields[4] = {xmin, ymin, xmax, ymax};
    for (int i = 0; i < 4; ++i) {
        file[4 + 2 * i] = static_cast<std::uint8_t>(fields[i] & 0xFF);
        file[5 + 2 * i] = static_cast<std::uint8_t>((fields[i] >> 8) & 0xFF);
    }
    file.insert(file.end(), packets.begin(), packets.end());
    file.push_back(0x0C);
    file.insert(file.end(), palette.begin(), palette.end());
    return file;
}

// A file in the test's temporary folder, removed when it goes out of scope.
class TempFile {
public:
    explicit TempFile(const Bytes& bytes) {
        static int serial = 0;
        path_ = ::testing::TempDir() + "zelm_pcx_" + std::to_string(::getpid()) + "_" +
                std::to_string(serial++) + ".pcx";
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        EXPECT_NE(file, nullptr) << path_;
        if (file != nullptr) {
            if (!bytes.empty()) {
                EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
            }
            std::fclose(file);
        }
    }
    ~TempFile() { std::remove(path_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

}  // namespace zelm::pcxtest
