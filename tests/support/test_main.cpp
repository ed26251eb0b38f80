// Test entry point: every test runs in a fresh, empty working directory of its own,
// because the game reads and writes its files in the working directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class FreshWorkingDirectory : public testing::EmptyTestEventListener {
  public:
    void OnTestStart(const testing::TestInfo& info) override {
        home_ = std::filesystem::current_path();
        std::string name = std::string("crossfall-") + info.test_suite_name() + "-" + info.name() + "-XXXXXX";
        for (char& c : name)
            if (c == '/') c = '_';
        std::string pattern = (std::filesystem::temp_directory_path() / name).string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        dir_ = pattern;
        std::filesystem::current_path(dir_);
    }
    void OnTestEnd(const testing::TestInfo&) override {
        std::filesystem::current_path(home_);
        std::error_code ignored;
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(dir_, ignored);
    }

  private:
    std::filesystem::path home_;
    std::filesystem::path dir_;
};

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshWorkingDirectory);
    return RUN_ALL_TESTS();
}
