#pragma once
#include <ostream>
#include <sstream>
#include <string>

#include "QvExport.h"

// Root of every run-time error. Always created with new and thrown as a pointer;
// whoever catches it owns it and deletes it unless it rethrows the same pointer.
// The message accumulates in a stream, so callers may append detail before throwing.
class QV_EXPORT QvException {
public:
    QvException();
    explicit QvException(const char* text);
    explicit QvException(const std::string& text);
    virtual ~QvException();

    QvException(const QvException&) = delete;
    QvException& operator=(const QvException&) = delete;

    std::string message() const;
    std::ostream& stream();

private:
    std::ostringstream text_;
};
