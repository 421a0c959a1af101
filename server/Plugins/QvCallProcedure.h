#pragma once
#include "Plugins/QvCallSite.h"
#include "Plugins/QvCallTarget.h"
#include "Plugins/QvParameterBlock.h"
#include "Values/QvValue.h"

// Calling a function: the overloads of the process-wide registry first, then the
// session's; the first overload that accepts the arguments is bound and invoked, and
// its result checked against the declared return types.
class QvCallProcedure {
public:
    static QvValueRef callFunction(QvCallSite& call, const QvCallTarget& target);
    // A null result becomes the undefined value; a type outside the declared return
    // types raises "Function returned illegal type".
    static QvValueRef checkedResult(const QvPluginSignature& signature, QvValueRef result);
    // Raises "Function returned illegal type" unless the signature allows the type.
    static void checkResultType(const QvPluginSignature& signature, QvTypeEnum type);

private:
    // The arguments' types and ways of passing suit the overload's parameters.
    static bool accepts(const QvCallSite& call, const QvCallTarget::Overload& overload);
    // Moves the arguments into the block and fills in what they leave out.
    static void bind(QvCallSite& call, const QvCallTarget::Overload& overload, QvParameterBlock& block);
};
