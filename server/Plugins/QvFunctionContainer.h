#pragma once
#include "QvExport.h"

class AST;

// What a signature calls: a plug-in's function or the body of a script function.
class QV_EXPORT QvFunctionContainer {
public:
    virtual ~QvFunctionContainer() = default;
};

// A function defined in the script: the whole DEFINE tree (an optional namespace
// identifier, the name, parameters with their default expressions, return types and
// the body block), owned by the session's parser.
class QV_EXPORT QvFunctionContainerLocal : public QvFunctionContainer {
public:
    QvFunctionContainerLocal(AST* definition, bool hasNamespace)
        : definition_(definition), hasNamespace_(hasNamespace) {}
    AST* definition() const { return definition_; }
    bool hasNamespace() const { return hasNamespace_; }

private:
    AST* definition_;
    bool hasNamespace_;
};
