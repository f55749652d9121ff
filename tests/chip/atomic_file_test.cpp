// AtomicFile: the target changes only at Commit and whole, each writer has a temporary file of
// its own, and a failure gives the system's reason with the target as it was and nothing beside.
#include "chip/atomic_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

namespace vrx {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("vrx-atomic-" + std::to_string(std::random_device()()));
        fs::create_directories(dir);
        target = (dir / "x.toml").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Read(const fs::path& path) {
        std::ostringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir;
    std::string target;
};

TEST_F(AtomicFileTest, TheTargetChangesOnlyAtCommitAndNothingIsLeftBeside) {
    std::ofstream(target) << "old";
    {
        AtomicFile file(target);
        EXPECT_EQ(file.Error(), "");
        EXPECT_EQ(Read(target), "old");
        ASSERT_TRUE(file.Commit("new")) << file.Error();
    }
    EXPECT_EQ(Read(target), "new");
    { AtomicFile dropped(target); } // never committed
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(Names(), std::vector<std::string>{"x.toml"});
}

TEST_F(AtomicFileTest, TwoWritersOfOneFileDoNotShareATemporaryFile) {
    AtomicFile first(target);
    AtomicFile second(target);
    ASSERT_TRUE(second.Commit("second")) << second.Error();
    EXPECT_EQ(Read(target), "second");
    ASSERT_TRUE(first.Commit("first, longer")) << first.Error();
    EXPECT_EQ(Read(target), "first, longer");
    EXPECT_EQ(Names(), std::vector<std::string>{"x.toml"});
}

TEST_F(AtomicFileTest, AFailureGivesTheReasonAndLeavesTheTargetAsItWas) {
    fs::create_directories(dir / "folder" / "inside");
    const struct {
        fs::path path;
        bool opens; // the failure comes only at Commit
    } cases[] = {
        {dir / "missing" / "x.toml", false},
        {dir / "folder", true}, // a folder is not replaced by a file
    };
    for (const auto& c : cases) {
        AtomicFile file(c.path.string());
        EXPECT_EQ(file.Error().empty(), c.opens) << c.path << ": " << file.Error();
        EXPECT_FALSE(file.Commit("data")) << c.path;
        EXPECT_FALSE(file.Error().empty()) << c.path;
        EXPECT_EQ(Names(), std::vector<std::string>{"folder"}) << c.path;
        EXPECT_TRUE(fs::is_directory(dir / "folder" / "inside"));
    }
}

} // namespace
} // namespace vrx
