#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "QvExport.h"

// Where each line of the preprocessed text came from. Included files are framed by
// marker lines; the scanner reports them here, and errors are mapped back to the line
// of the file they lie in, with the chain of files that included it.
class QV_EXPORT QvSourceMap {
public:
    struct FileRecord {
        std::string name;        // empty for the main script
        int parent;              // index of the including file
        int parentLine;          // line of the include directive in the parent
        int currentLine;         // maintained while scanning
        int lastExpandedLine;    // expanded line of this file's last marker
    };
    struct LineMapRecord {
        int expandedLine;
        int lineBase;
        int fileIndex;
    };
    struct Position {
        int line;
        int fileIndex;
    };

    static constexpr int kIncludeErrorFile = 0;
    static constexpr int kMainFile = 1;

    QvSourceMap();

    // An included file begins with the marker on expanded line markerLine.
    void beginInclude(const std::string& name, int markerLine);
    // The included file ends with the marker on expanded line markerLine.
    void endInclude(int markerLine);

    Position mapLine(int expandedLine) const;
    // Writes " at [file 'name', ]line N" and one "included from ..." line per parent.
    std::ostream& outputError(std::ostream& os, long line, long fileIndex) const;
    // Maps an expanded line and writes its position.
    std::ostream& writePosition(std::ostream& os, int expandedLine) const;

    const std::vector<FileRecord>& files() const { return files_; }
    const std::vector<LineMapRecord>& lineMap() const { return lineMap_; }
    int currentFile() const { return currentFile_; }

private:
    void advanceCurrentFile(int line);

    std::vector<FileRecord> files_;
    std::vector<LineMapRecord> lineMap_;
    int currentFile_ = kMainFile;
};
