#pragma once
#include <fstream>
#include <functional>
#include <ostream>
#include <string>

#include "QvExport.h"

// Replaces a file only once its new content is complete. The content goes to a new
// temporary file in the target's folder (named after the target, with its ending, so
// that encoders which choose a format by the name still can); commit() renames it
// over the target. Until then the target keeps its earlier content, and a reader
// never sees a partial file. A writer destroyed without commit (after a failure on
// the way) removes its temporary file. The content is flushed to the system, not
// synced to the disk (scripts save frame after frame): a crash of the machine itself
// may still cost the newest save.
//
// A target that is a link is written through: the file it leads to is replaced. A
// device or a pipe, and a file in a folder where no temporary can be made, are
// written in place, as there is nothing to rename over them.
class QV_EXPORT QvAtomicFile {
public:
    // Raises the file error "Cannot open file ... for writing." when the target is a
    // folder, a file we may not write, or in a folder we cannot write to.
    explicit QvAtomicFile(const std::string& target);
    ~QvAtomicFile();
    QvAtomicFile(const QvAtomicFile&) = delete;
    QvAtomicFile& operator=(const QvAtomicFile&) = delete;

    // A binary stream into the temporary file.
    std::ostream& stream();
    // Where the content goes, for writers that open files by name; they must have
    // closed the file before commit().
    const std::string& temporaryPath() const { return temporary_; }
    // Finishes the stream and puts the content in place; raises the file error
    // "Cannot write file ..." when either fails, leaving the target as it was.
    void commit();

    // The whole cycle: `content` writes into the stream, then commit.
    static void write(const std::string& target, const std::function<void(std::ostream&)>& content);

private:
    [[noreturn]] void raiseCannotOpen() const;
    [[noreturn]] void raiseCannotWrite() const;
    void createTemporary();

    std::string given_;
    std::string target_;
    std::string temporary_;
    std::ofstream stream_;
    bool inPlace_ = false;
    bool committed_ = false;
};
