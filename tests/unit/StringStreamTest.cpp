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
