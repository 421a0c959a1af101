#include <gtest/gtest.h>

#include "Session/Qv_stringstream.h"

TEST(Qv_stringstream, ReaderTakesOnlyWhatWasWrittenSinceItsLastRead) {
    Qv_stringstream s;
    EXPECT_EQ(s.takeUnread(), "");
    s << "abc" << 12;
    EXPECT_EQ(s.takeUnread(), "abc12");
    EXPECT_EQ(s.takeUnread(), "");
    s << "\nnext";
    EXPECT_EQ(s.takeUnread(), "\nnext");
}

// A writer that never stops (a printing loop) must not make the stream grow without
// end: what the reader took is gone from it.
TEST(Qv_stringstream, TakenTextNoLongerAccumulates) {
    Qv_stringstream s;
    const std::string line(1000, 'x');
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 1000; ++i) s << line;
        EXPECT_EQ(s.takeUnread().size(), 1000000u);
        EXPECT_EQ(s.tellp(), 0);
    }
    s << "after";
    EXPECT_EQ(s.takeUnread(), "after");
}
