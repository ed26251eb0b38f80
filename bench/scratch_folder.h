// Benchmarks run the game in a scratch folder of their own (it writes "moves.txt" and reads its
// files there), removed when the benchmark ends; with the shipped art and sounds copied in if asked.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

struct ScratchFolder {
    std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::path folder;

    explicit ScratchFolder(bool withShippedData) {
        std::string pattern = (std::filesystem::temp_directory_path() / "crossfall-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        folder = pattern;
        if (withShippedData)
            for (const auto& entry : std::filesystem::directory_iterator(CROSSFALL_SOURCE_DIR "/data"))
                if (entry.is_regular_file())
                    std::filesystem::copy_file(entry.path(), folder / entry.path().filename());
        std::filesystem::current_path(folder);
    }
    ~ScratchFolder() {
        std::filesystem::current_path(home);
        std::filesystem::remove_all(folder);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
};
