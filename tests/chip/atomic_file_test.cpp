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

TEST_F(AtomicFileTest, ALinkStaysALinkAndTheFileItPointsAtIsWritten) {
    fs::create_directories(dir / "kept");
    const fs::path file = dir / "kept" / "bench.toml";
    const struct {
        fs::path link;
        fs::path to;
        bool exists; // a dangling link makes the file it names
    } cases[] = {
        {dir / "absolute.toml", file, true},
        {dir / "relative.toml", fs::path("kept") / "bench.toml", true},
        {dir / "chained.toml", "relative.toml", true},
        {dir / "dangling.toml", fs::path("kept") / "new.toml", false},
    };
    for (const auto& c : cases) {
        if (c.exists) {
            std::ofstream(file) << "old";
        }
        std::error_code error;
        fs::create_symlink(c.to, c.link, error);
        if (error) {
            GTEST_SKIP() << "no symbolic links here: " << error.message();
        }
        ASSERT_EQ(WriteFileAtomically(c.link.string(), "new"), "") << c.link;
        EXPECT_TRUE(fs::is_symlink(c.link)) << c.link;
        EXPECT_EQ(Read(c.link), "new") << c.link;
        EXPECT_EQ(Read(c.exists ? file : dir / "kept" / "new.toml"), "new") << c.link;
    }
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
