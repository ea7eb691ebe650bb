// A fresh, empty directory for one test case, removed afterwards. Wine
// caches INI files while its server runs, so every file gets its own.
#ifndef RYX_TESTS_TEMP_DIR_H
#define RYX_TESTS_TEMP_DIR_H

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

class TempDir {
public:
    TempDir() {
        static unsigned counter = 0;
        const auto base = std::filesystem::temp_directory_path();
        do {
            path_ = base / ("ryx-test-" + std::to_string(Seed()) + "-" + std::to_string(++counter));
        } while (!std::filesystem::create_directory(path_));
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The directory as a native path, without a trailing separator.
    std::string Path() const { return path_.string(); }

    std::string Write(const std::string& name, const std::string& contents) const {
        const auto file = path_ / name;
        std::ofstream(file, std::ios::binary) << contents;
        return file.string();
    }

private:
    static unsigned long Seed() {
        static const unsigned long seed = static_cast<unsigned long>(
            std::hash<std::string>()(std::filesystem::temp_directory_path().string()) ^
            static_cast<unsigned long>(std::chrono::steady_clock::now().time_since_epoch().count()));
        return seed;
    }
    std::filesystem::path path_;
};

#endif
