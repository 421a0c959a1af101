#include "Session/Qv_stringstream.h"

// Everything up to the write position is taken, so the stream starts again from empty:
// memory stays bounded by the most that was ever unread at once, however long the
// writer goes on. The buffer keeps its capacity for what comes next, which spares a
// writer in a tight loop from growing it afresh after every read.
std::string Qv_stringstream::takeUnread() {
    clear();
    std::streamoff readPos = tellg();
    std::streamoff writePos = tellp();
    std::string unread;
    if (readPos >= 0 && writePos > readPos) {
        unread.resize(static_cast<size_t>(writePos - readPos));
        read(&unread[0], static_cast<std::streamsize>(unread.size()));
    }
    str(std::string());
    clear();
    return unread;
}
