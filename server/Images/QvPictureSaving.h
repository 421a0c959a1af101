#pragma once
#include <functional>
#include <string>

// Writes a file through `write`, which is given a temporary sibling of `path`; the
// sibling replaces `path` only after `write` returned, so a failed or interrupted save
// leaves the old file as it was. Raises a file error when the file cannot be placed.
void QvSavePictureFile(const std::string& path, const std::function<void(const std::string& temporary)>& write);
