// Replacing a file keeps what its owner chose: the owner itself, a link, a read-only file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/replace_file.hpp"

namespace zelm {
namespace {

namespace fs = std::filesystem;

class ReplaceFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zelm-replace-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        std::ofstream(dir + "/file") << "old";
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string read(const std::string& name) {
        std::ifstream in(dir + "/" + name);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string dir;
    std::string why;
};

TEST_F(ReplaceFileTest, RootWritingForAUserLeavesTheFileTheUsers) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root";
    }
    ASSERT_EQ(chown((dir + "/file").c_str(), 65534, 65534), 0);
    ASSERT_TRUE(replace_file(dir, "file", "new", why)) << why;
    struct stat info {};
    ASSERT_EQ(stat((dir + "/file").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
}

TEST_F(ReplaceFileTest, AReadOnlyFileAndALinkToNothingAreTheUsersToSettle) {
    fs::permissions(dir + "/file", fs::perms::owner_read | fs::perms::group_read);
    EXPECT_FALSE(replace_file(dir, "file", "new", why));
    EXPECT_NE(why.find("read-only"), std::string::npos) << why;
    EXPECT_EQ(read("file"), "old");

    fs::create_symlink(dir + "/dotfiles/xscreensaver", dir + "/link");
    EXPECT_FALSE(replace_file(dir, "link", "new", why));
    EXPECT_NE(why.find("does not exist"), std::string::npos) << why;
    EXPECT_TRUE(fs::is_symlink(dir + "/link"));
}

}  // namespace
}  // namespace zelm
