// Reading white-space separated tokens from a file's text the way the game's files are read:
// words (runs of non-blank bytes) and integers, and the bounded read of such a file that never
// hands on a token cut by its bound. Used by the controls file and the score files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace crossfall {

enum class IntSyntax {
    Decimal,    // optional sign and decimal digits
    AnyBase,    // also 0x... hexadecimal and 0... octal
};

class TokenReader {
  public:
    explicit TokenReader(std::string_view text) : text_(text) {}

    // The next run of non-blank bytes, at most maxLength of them kept (the rest of the run is
    // skipped); false at the end of the text or after a failed read.
    bool readWord(std::string& word, std::size_t maxLength);

    // The next integer. A token that is no number sets value 0; one beyond the 32-bit range sets the
    // nearest limit; both fail, and every later read fails too, as a stream's extraction does.
    bool readInt(std::int32_t& value, IntSyntax syntax);

  private:
    void skipBlanks();
    std::string_view text_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

// The file's first limit bytes less a token that runs on past them (cut, it would read as another
// token); nothing when the file cannot be opened.
std::optional<std::string> readTokenFile(const char* fileName, std::size_t limit);

} // namespace crossfall
