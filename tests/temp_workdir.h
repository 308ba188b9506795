#pragma once

#include <filesystem>
#include <fstream>
#include <string>

// Runs a test inside a fresh temporary folder, as the game runs inside its
// data folder, and removes it afterwards.
class TempWorkdir {
public:
    TempWorkdir()
    {
        namespace fs = std::filesystem;
        previous_ = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "orbivale-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : std::string();
        fs::current_path(path_);
    }
    ~TempWorkdir()
    {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempWorkdir(const TempWorkdir&) = delete;
    TempWorkdir& operator=(const TempWorkdir&) = delete;

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
    std::string path_;
};
