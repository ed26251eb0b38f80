// Token reading with the failure rules of a stream extraction: once a read fails, all later reads fail.
#include "platform/tokens.h"

#include <cctype>
#include <algorithm>
#include <limits>

#include "platform/files.h"

namespace crossfall {
namespace {

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

} // namespace

void TokenReader::skipBlanks() {
    while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
}

bool TokenReader::readWord(std::string& word, std::size_t maxLength) {
    if (failed_) return false;
    skipBlanks();
    // At the end every later read ends here too.
    if (pos_ >= text_.size()) return false;
    std::size_t start = pos_;
    while (pos_ < text_.size() && !isBlank(text_[pos_])) ++pos_;
    word.assign(text_.substr(start, std::min(pos_ - start, maxLength)));
    return true;
}

bool TokenReader::readInt(std::int32_t& value, IntSyntax syntax) {
    if (failed_) return false;
    skipBlanks();
    // Nothing left: the value keeps what it had, and every later read ends here too.
    if (pos_ >= text_.size()) return false;
    bool negative = false;
    if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) negative = text_[pos_++] == '-';
    int base = 10;
    bool sawDigit = false;
    if (syntax == IntSyntax::AnyBase && pos_ < text_.size() && text_[pos_] == '0') {
        base = 8;
        sawDigit = true;
        ++pos_;
        // "0x" commits to hexadecimal: without a hex digit after it the whole item is bad.
        if (pos_ < text_.size() && (text_[pos_] == 'x' || text_[pos_] == 'X')) {
            base = 16;
            sawDigit = false;
            ++pos_;
        }
    }
    // Magnitude kept in 64 bits and capped, so no digit count can overflow it.
    const std::int64_t cap = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    while (pos_ < text_.size() && digitValue(text_[pos_]) < base) {
        magnitude = std::min<std::int64_t>(magnitude * base + digitValue(text_[pos_]), cap + 1);
        sawDigit = true;
        ++pos_;
    }
    if (!sawDigit) {
        value = 0;
        failed_ = true;
        return false;
    }
    std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<std::int32_t>::max() ||
        signedValue < std::numeric_limits<std::int32_t>::min()) {
        value = negative ? std::numeric_limits<std::int32_t>::min() : std::numeric_limits<std::int32_t>::max();
        failed_ = true;
        return false;
    }
    value = static_cast<std::int32_t>(signedValue);
    return true;
}

std::optional<std::string> readTokenFile(const char* fileName, std::size_t limit) {
    // The byte past the bound tells whether the last token goes on.
    std::optional<std::string> text = readFile(fileName, limit + 1);
    if (text && text->size() > limit) {
        std::size_t end = limit;
        if (!isBlank((*text)[limit]))
            while (end > 0 && !isBlank((*text)[end - 1])) --end;
        text->resize(end);
    }
    return text;
}

} // namespace crossfall
