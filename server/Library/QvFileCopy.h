#pragma once
#include <string>

// Copies the regular file `source` to `destination`, replacing what is there. The
// bytes go to a new file beside the destination that is renamed over it only once it
// is complete, so a failure never leaves the destination cut short, and a destination
// that is a link is replaced, never written through. Refuses a source that is not a
// regular file and a destination that is the source itself (also through links).
// Calls QvYield between chunks, so a stop request ends a long copy (leaving nothing).
bool QvCopyRegularFile(const std::string& source, const std::string& destination);
