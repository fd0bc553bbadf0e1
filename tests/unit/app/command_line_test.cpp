#include "app/command_line.hpp"

#include <gtest/gtest.h>

#include <string>

namespace zelm {
namespace {

std::string tail(const char* command_line) {
    return command_line_tail(command_line);
}

TEST(CommandLine, AQuotedNameRunsToItsClosingQuoteWhateverFollows) {
    EXPECT_EQ(tail("\"C:\\x\\zelm.scr\"/c"), "/c");
    EXPECT_EQ(tail("\"C:\\Program Files\\zelm.scr\" /p 1234"), "/p 1234");
    EXPECT_EQ(tail("\"C:\\x\\zelm.scr\""), "");
    EXPECT_EQ(tail("\"\" /s"), "/s");
    // Without a closing quote the whole text is the name.
    EXPECT_EQ(tail("\"C:\\x\\zelm.scr /c"), "");
}

TEST(CommandLine, AnUnquotedNameRunsToTheFirstBlankQuotesIncluded) {
    EXPECT_EQ(tail("C:\\a\"b c\"\\zelm.scr /c"), "c\"\\zelm.scr /c");
    EXPECT_EQ(tail("zelm.scr /c"), "/c");
    EXPECT_EQ(tail("zelm.scr"), "");
    EXPECT_EQ(tail(""), "");
    EXPECT_EQ(tail(nullptr), "");
}

TEST(CommandLine, EveryByteFrom1To32EndsTheNameAndIsSkippedAfterIt) {
    EXPECT_EQ(tail("zelm.scr\t/c"), "/c");
    EXPECT_EQ(tail("zelm.scr\x01\x1f \t\r\n/c x"), "/c x");
    EXPECT_EQ(tail("\"zelm.scr\"\x7f/c"), "\x7f/c");  // 127 is no blank
    EXPECT_EQ(tail("zelm.scr \t "), "");
}

TEST(CommandLine, BytesFrom128UpBelongToTheName) {
    EXPECT_EQ(tail("C:\\x\\z\xe9lm.scr /c"), "/c");
    EXPECT_EQ(tail("C:\\\x80\xa0\xff\\zelm.scr /p"), "/p");
    EXPECT_EQ(tail("zelm.scr \xa0/c"), "\xa0/c");  // a no-break space is not skipped
}

}  // namespace
}  // namespace zelm
