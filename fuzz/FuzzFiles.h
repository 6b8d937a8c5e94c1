#pragma once
// Scratch files for the fuzz targets that go through the file layer: one directory per
// process (in memory when /dev/shm is there), so parallel jobs never share a file.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace kx30fuzz {

inline const std::filesystem::path& scratchDir() {
    // Never destroyed, so the removal at exit still has the name.
    static const std::filesystem::path* dir = [] {
        std::error_code ec;
        std::filesystem::path base = std::filesystem::exists("/dev/shm", ec)
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path();
        auto* d = new std::filesystem::path(base / ("kx30-fuzz-" + std::to_string(::getpid())));
        std::filesystem::create_directories(*d, ec);
        std::atexit([] { std::error_code ignored; std::filesystem::remove_all(scratchDir(), ignored); });
        return d;
    }();
    return *dir;
}

inline std::filesystem::path scratchFile(const char* name) { return scratchDir() / name; }

inline void writeBytes(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace kx30fuzz
