// Any bytes as a replay file: the reader either refuses them with a one-line reason or gives a
// journal that encodes back to bytes it reads the same way.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/journal.h"

using namespace crossfall;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const JournalRead read = parseJournal(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!read.journal) {
        if (read.error.empty() || read.error.find('\n') != std::string::npos) std::abort();
        return 0;
    }
    const std::string again = encodeJournal(*read.journal);
    const JournalRead reread = parseJournal(again);
    if (!reread.journal || encodeJournal(*reread.journal) != again) std::abort();
    if (reread.journal->frameCount != read.journal->frameCount || !(reread.journal->result == read.journal->result))
        std::abort();
    return 0;
}
