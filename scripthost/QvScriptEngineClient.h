#pragma once
#include <optional>

#include "QvHostClient.h"
#include "QvScriptError.h"

// The client of one script-host run. Nothing the script writes reaches the host's own
// output: a program that embeds the engine keeps its standard output for itself. The
// first error the session records (syntax or run-time) is kept for the engine to
// return to its caller.
class QvScriptEngineClient : public QvHostClient {
public:
    void showParseErrors() override;
    void writeText(const char* text, int length) override;

    const std::optional<QvScriptError>& firstError() const { return firstError_; }

private:
    std::optional<QvScriptError> firstError_;
};
