#include "Session/QvSourceMap.h"

QvSourceMap::QvSourceMap()
    : files_{{"Internal_Include_Error", kMainFile, 0, 0, 0}, {"", kIncludeErrorFile, 0, 0, 0}},
      lineMap_{{0, 0, kMainFile}} {}

void QvSourceMap::advanceCurrentFile(int line) {
    FileRecord& current = files_[currentFile_];
    current.currentLine += line - current.lastExpandedLine;
}

// The marker line itself is not part of any file's text: the next expanded line is
// line 1 of the included file.
void QvSourceMap::beginInclude(const std::string& name, int markerLine) {
    advanceCurrentFile(markerLine);
    int next = markerLine + 1;
    int parent = currentFile_;
    files_.push_back({name, parent, files_[parent].currentLine, 0, next - 1});
    currentFile_ = static_cast<int>(files_.size()) - 1;
    lineMap_.push_back({next, next - 1, currentFile_});
}

// The end marker stands on the include directive's line of the parent, so the parent
// resumes one line further on.
void QvSourceMap::endInclude(int markerLine) {
    advanceCurrentFile(markerLine);
    if (currentFile_ <= kMainFile) return;  // an end marker without a beginning
    int next = markerLine + 1;
    currentFile_ = files_[currentFile_].parent;
    FileRecord& parent = files_[currentFile_];
    parent.currentLine += 1;
    lineMap_.push_back({next, next - parent.currentLine, currentFile_});
    parent.lastExpandedLine = next;
}

QvSourceMap::Position QvSourceMap::mapLine(int expandedLine) const {
    const LineMapRecord* found = &lineMap_.front();
    for (const LineMapRecord& record : lineMap_) {
        if (record.expandedLine > expandedLine) break;
        found = &record;
    }
    return {expandedLine - found->lineBase, found->fileIndex};
}

std::ostream& QvSourceMap::outputError(std::ostream& os, long line, long fileIndex) const {
    bool first = true;
    while (fileIndex > 0 && fileIndex < static_cast<long>(files_.size())) {
        const FileRecord& file = files_[fileIndex];
        if (first)
            os << " at ";
        else
            os << "\n" << "included from ";
        if (!file.name.empty()) os << "file '" << file.name << "', ";
        os << "line " << line;
        first = false;
        line = file.parentLine;
        fileIndex = file.parent;
    }
    return os;
}

std::ostream& QvSourceMap::writePosition(std::ostream& os, int expandedLine) const {
    Position position = mapLine(expandedLine);
    return outputError(os, position.line, position.fileIndex);
}
