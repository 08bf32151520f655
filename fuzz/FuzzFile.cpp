#include "fuzz/FuzzFile.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace korva::fuzz {

namespace {

// Removes the input file when the fuzzer exits.
struct InputFile {
    std::string path;
    ~InputFile() {
        if (!path.empty()) {
            std::remove(path.c_str());
        }
    }
};

}  // namespace

const std::string& WriteInputFile(std::string_view bytes, const char* extension) {
    static InputFile file;
    if (file.path.empty()) {
        // A file rewritten from empty on a disk file system is flushed on
        // every close; in memory the fuzzer runs a hundred times faster.
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::is_directory("/dev/shm", error)
                                                 ? std::filesystem::path("/dev/shm")
                                                 : std::filesystem::temp_directory_path();
        file.path = (folder / ("korva-fuzz-" + std::to_string(getpid()) + extension)).string();
    }
    std::ofstream out(file.path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    Require(static_cast<bool>(out), "cannot write the input file");
    return file.path;
}

void Require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "property failed: %s\n", what);
        std::abort();
    }
}

}  // namespace korva::fuzz
