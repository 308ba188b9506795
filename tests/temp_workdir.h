#pragma once

#include "temp_dir.h"

#include <filesystem>
#include <fstream>
#include <string>

// Runs a test inside a fresh temporary folder, as the game runs inside its
// data folder, and goes back to where it was before the folder is removed.
class TempWorkdir {
public:
    TempWorkdir() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(dir_.root()); }
    ~TempWorkdir()
    {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    TempWorkdir(const TempWorkdir&) = delete;
    TempWorkdir& operator=(const TempWorkdir&) = delete;

    // Relative to the working folder.
    static void write(const std::string& name, const std::string& contents)
    {
        std::filesystem::path p(name);
        if (p.has_parent_path())
            std::filesystem::create_directories(p.parent_path());
        std::ofstream(name, std::ios::binary) << contents;
    }
    static std::string read(const std::string& name)
    {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path previous_;
    TempDir dir_; // removed after the destructor's body has left it
};
