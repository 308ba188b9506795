#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// A fresh directory under the system's temporary folder, removed with its
// contents at the end of the test.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "orbivale-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data()))
            root_ = name.data();
    }
    ~TempDir()
    {
        std::error_code ignored;
        if (!root_.empty())
            std::filesystem::remove_all(root_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path(const std::string& name) const { return (std::filesystem::path(root_) / name).string(); }

    // Writes the bytes exactly as given (no line-end translation); returns the full path.
    std::string write(const std::string& name, const std::string& content) const
    {
        std::string full = path(name);
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream out(full, std::ios::binary);
        out << content;
        return full;
    }
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        return write(name, std::string(bytes.begin(), bytes.end()));
    }

    const std::string& root() const { return root_; }

private:
    std::string root_;
};
