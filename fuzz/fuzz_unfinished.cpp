// Any bytes as an unfinished game: the reader either refuses them with a one-line reason, or gives the
// game to its last whole block, whose journal so far is read or refused the same way, and no longer a
// game than the bytes could hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/journal.h"
#include "app/unfinished_game.h"

using namespace crossfall;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const UnfinishedRead read = parseUnfinishedGame(bytes);
    if (!read.game) {
        if (read.error.empty() || read.error.find('\n') != std::string::npos) std::abort();
        return 0;
    }
    if (read.game->journal.size() >= size) std::abort();
    const JournalRead journal = parseJournalSoFar(read.game->journal, read.game->frames);
    if (!journal.journal && (journal.error.empty() || journal.error.find('\n') != std::string::npos)) std::abort();
    if (journal.journal && journal.journal->frameCount != read.game->frames) std::abort();
    return 0;
}
