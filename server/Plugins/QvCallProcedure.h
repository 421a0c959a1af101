#pragma once
#include <optional>

#include "Plugins/QvCallSite.h"
#include "Plugins/QvParameterBlock.h"
#include "Values/QvValue.h"

class QvPluginRegistry;

// Calling a function: the process-wide registry first, then the session's; the first
// overload that accepts the arguments is bound and invoked, and its result checked
// against the declared return types.
class QvCallProcedure {
public:
    static QvValueRef callFunction(QvCallSite& call);
    // Binds the call to the first accepting overload in one registry; true when the
    // block was made.
    static bool bindArguments(const QvPluginRegistry& registry, QvCallSite& call,
                              std::optional<QvParameterBlock>& block);

private:
    static bool bindTo(QvCallSite& call, QvParameterBlock& block);
    static bool bindArgument(QvCallSite& call, size_t argument, QvParameterBlock& block, size_t parameter);
    static bool fillOmitted(QvParameterBlock& block);
    static void makePrivateCopies(QvParameterBlock& block);
};
