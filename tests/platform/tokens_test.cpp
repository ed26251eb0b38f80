// Token reading: words cut to their field, integers in decimal or any base, and the stream-like
// rule that the first failed read ends the reading.
#include "platform/tokens.h"

#include <gtest/gtest.h>

#include <limits>

using namespace crossfall;

TEST(Tokens, WordsAreRunsOfNonBlankBytesCutToTheField) {
    TokenReader reader("  ABC\r\n\tverylongname 12");
    std::string word;
    ASSERT_TRUE(reader.readWord(word, 11));
    EXPECT_EQ(word, "ABC");
    ASSERT_TRUE(reader.readWord(word, 4));
    EXPECT_EQ(word, "very");
    std::int32_t value = -1;
    ASSERT_TRUE(reader.readInt(value, IntSyntax::Decimal));
    EXPECT_EQ(value, 12);
    EXPECT_FALSE(reader.readWord(word, 11));
}

TEST(Tokens, AnyBaseReadsOctalAndHexadecimalLikeScanfI) {
    TokenReader reader("010 0x1F -7 0 +5 0x");
    std::int32_t v = 0;
    ASSERT_TRUE(reader.readInt(v, IntSyntax::AnyBase));
    EXPECT_EQ(v, 8);
    ASSERT_TRUE(reader.readInt(v, IntSyntax::AnyBase));
    EXPECT_EQ(v, 31);
    ASSERT_TRUE(reader.readInt(v, IntSyntax::AnyBase));
    EXPECT_EQ(v, -7);
    ASSERT_TRUE(reader.readInt(v, IntSyntax::AnyBase));
    EXPECT_EQ(v, 0);
    ASSERT_TRUE(reader.readInt(v, IntSyntax::AnyBase));
    EXPECT_EQ(v, 5);
    // "0x" with no hex digit is the number 0 followed by the junk "x".
    ASSERT_TRUE(reader.readInt(v, IntSyntax::AnyBase));
    EXPECT_EQ(v, 0);
    EXPECT_FALSE(reader.readInt(v, IntSyntax::AnyBase));
}

TEST(Tokens, DecimalReadsLeadingZerosAsDecimal) {
    TokenReader reader("010");
    std::int32_t v = 0;
    ASSERT_TRUE(reader.readInt(v, IntSyntax::Decimal));
    EXPECT_EQ(v, 10);
}

TEST(Tokens, ANonNumberReadsZeroAndStopsAllLaterReads) {
    TokenReader reader("5 abc 7");
    std::int32_t v = 0;
    ASSERT_TRUE(reader.readInt(v, IntSyntax::AnyBase));
    v = 99;
    EXPECT_FALSE(reader.readInt(v, IntSyntax::AnyBase));
    EXPECT_EQ(v, 0);
    v = 99;
    EXPECT_FALSE(reader.readInt(v, IntSyntax::AnyBase));
    EXPECT_EQ(v, 99) << "a read after a failure leaves the value alone";
    std::string word;
    EXPECT_FALSE(reader.readWord(word, 5));
}

TEST(Tokens, NumbersBeyondThirtyTwoBitsReadAsTheLimitAndFail) {
    std::int32_t v = 0;
    TokenReader big("2147483648");
    EXPECT_FALSE(big.readInt(v, IntSyntax::Decimal));
    EXPECT_EQ(v, std::numeric_limits<std::int32_t>::max());
    TokenReader small("-99999999999999999999999999");
    EXPECT_FALSE(small.readInt(v, IntSyntax::AnyBase));
    EXPECT_EQ(v, std::numeric_limits<std::int32_t>::min());
    TokenReader edges("2147483647 -2147483648 0xFFFFFFFF");
    ASSERT_TRUE(edges.readInt(v, IntSyntax::Decimal));
    EXPECT_EQ(v, std::numeric_limits<std::int32_t>::max());
    ASSERT_TRUE(edges.readInt(v, IntSyntax::Decimal));
    EXPECT_EQ(v, std::numeric_limits<std::int32_t>::min());
    EXPECT_FALSE(edges.readInt(v, IntSyntax::AnyBase));
}

TEST(Tokens, EmptyAndBlankTextReadsNothing) {
    std::int32_t v = 3;
    TokenReader empty("");
    EXPECT_FALSE(empty.readInt(v, IntSyntax::Decimal));
    EXPECT_EQ(v, 3) << "the end of the text leaves the value alone";
    TokenReader blank(" \r\n\t ");
    EXPECT_FALSE(blank.readInt(v, IntSyntax::Decimal));
    EXPECT_EQ(v, 3);
    TokenReader sign("-");
    EXPECT_FALSE(sign.readInt(v, IntSyntax::Decimal));
    EXPECT_EQ(v, 0);
}
