// Test entry point: every test runs in a fresh, empty working directory of its own,
// because the game reads and writes its files in the working directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

class FreshWorkingDirectory : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo& info) override {
        home_ = fs::current_path();
        std::string name = std::string("crossfall-") + info.test_suite_name() + "-" + info.name() + "-XXXXXX";
        std::replace(name.begin(), name.end(), '/', '_');
        std::string pattern = (fs::temp_directory_path() / name).string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        fs::current_path(dir_ = pattern);
        // The player's own config folder is never touched: each test has one in its folder.
        setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    }
    void OnTestEnd(const testing::TestInfo&) override {
        fs::current_path(home_);
        std::error_code ignored;
        fs::permissions(dir_, fs::perms::owner_all, ignored);
        fs::remove_all(dir_, ignored);
    }
    fs::path home_, dir_;
};

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshWorkingDirectory);
    return RUN_ALL_TESTS();
}
