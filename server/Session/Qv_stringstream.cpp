#include "Session/Qv_stringstream.h"

std::string Qv_stringstream::takeUnread() {
    clear();
    std::streamoff readPos = tellg();
    std::streamoff writePos = tellp();
    if (readPos < 0 || writePos < 0 || writePos <= readPos) {
        clear();
        return std::string();
    }
    std::string unread(static_cast<size_t>(writePos - readPos), '\0');
    read(&unread[0], static_cast<std::streamsize>(unread.size()));
    clear();
    return unread;
}
