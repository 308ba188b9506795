// Two runs of the generator write byte-identical data folders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::map<std::string, std::string> readTree(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[fs::relative(entry.path(), root).string()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

fs::path runGenerator(const std::string& name) {
    fs::path out = fs::temp_directory_path() / ("orbivale-datagen-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(out);
    std::string command = std::string("\"") + ORBIVALE_DATAGEN + "\" \"" + out.string() + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return out;
}

}  // namespace

TEST(Generator, TwoRunsWriteIdenticalFiles) {
    fs::path first = runGenerator("a");
    fs::path second = runGenerator("b");
    auto a = readTree(first), b = readTree(second);
    EXPECT_GT(a.size(), 50u);
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [name, bytes] : a) {
        ASSERT_TRUE(b.count(name)) << name;
        EXPECT_TRUE(bytes == b[name]) << name << " differs between runs";
    }
    // Both programs get their own complete folder.
    EXPECT_TRUE(a.count("gl/maps/maplist.dat"));
    EXPECT_TRUE(a.count("glide/maps/maplist.dat"));
    fs::remove_all(first);
    fs::remove_all(second);
}
