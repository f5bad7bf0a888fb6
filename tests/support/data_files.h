// Helpers for tests that load price lists: the sample data files shipped in
// data/, scratch data files written for one test, and standard error
// captured while a game refuses to start.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

// A file of the sample data directory (BRAWLARIUM_DATA_DIR when set,
// otherwise the working directory).
inline std::string sampleDataFile(const std::string& name) {
    const char* directory = std::getenv("BRAWLARIUM_DATA_DIR");
    if (directory == nullptr || directory[0] == '\0') {
        return name;
    }
    return (std::filesystem::path(directory) / name).string();
}

// A data file with the given bytes, written as is (no line-end conversion)
// in the temporary directory and removed again when the object goes.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& contents) {
        static int counter = 0;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = (std::filesystem::temp_directory_path() /
                 ("brawlarium_test_" + std::to_string(stamp) + "_" + std::to_string(counter++) + ".txt"))
                    .string();
        std::ofstream out(path_, std::ios::binary);
        out << contents;
    }
    ~ScratchFile() { std::remove(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The given number of well-formed weapon lines "W<n>;1;6;20;2;<n>" (n from 1),
// each ended by "\n".
inline std::string plainWeaponLines(int count) {
    std::string text;
    for (int n = 1; n <= count; ++n) {
        text += "W" + std::to_string(n) + ";1;6;20;2;" + std::to_string(n) + "\n";
    }
    return text;
}

// The given number of well-formed armor lines "A<n>;1;4;<n>", each ended by "\n".
inline std::string plainArmorLines(int count) {
    std::string text;
    for (int n = 1; n <= count; ++n) {
        text += "A" + std::to_string(n) + ";1;4;" + std::to_string(n) + "\n";
    }
    return text;
}

// Captures std::cerr for as long as it lives.
class ErrorCapture {
public:
    ErrorCapture() : old(std::cerr.rdbuf(text.rdbuf())) {}
    ~ErrorCapture() {
        std::cerr.rdbuf(old);
        std::cerr.clear();
    }
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;

    std::string take() {
        std::string written = text.str();
        text.str("");
        return written;
    }

private:
    std::ostringstream text;
    std::streambuf* old;
};
