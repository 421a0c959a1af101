#pragma once
#include <deque>
#include <set>
#include <string>

#include "Files/QvFile.h"

// Expands include directives before a session lexes its text. Every line of the form
// #include 'file' becomes the file's own expanded text between the marker lines
// "/##+file" and "/##-", which the language scanner reads to map lines back to their
// files. A file included before, under any name, becomes the comment
// //#include 'file'; a file that cannot be read leaves "/##!Include Error: file 'file'"
// (so does a file nested more than 100 files deep, or one that would take the included
// text past the size of the largest script), any other "#" line "/##!Preprocessor Error".
// Each marker but "/##+" stands on the directive's line.
class QvPreprocessor {
public:
    // The file whose text is expanded is on top of the include stack: names resolve
    // against its folder, or against the working directory when it is empty. The
    // included set holds the files inserted so far by this run and its nested runs, by
    // their canonical paths.
    QvPreprocessor(std::deque<QvFile>& includeStack, std::set<std::string>& included);

    std::string preprocess(const std::string& text);
    // What replaces the directive #include 'name', appended to output.
    void include(const std::string& name, std::string& output);

private:
    QvFile resolve(const std::string& name) const;

    std::deque<QvFile>& includeStack_;
    std::set<std::string>& included_;
    size_t includedBytes_ = 0;
};
