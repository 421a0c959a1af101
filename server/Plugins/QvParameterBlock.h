#pragma once
#include <string>

#include "Interpreter/QvArgumentBlock.h"
#include "QvExport.h"

class QvParser;
class QvPluginSignature;
class TreeEval;
struct QvPluginParameter;

// The arguments of one call, one entry per parameter of the chosen signature, in its
// order. Valid for the duration of the call; linked into the chain of active blocks.
class QV_EXPORT QvParameterBlock : public QvArgumentBlock {
public:
    QvParameterBlock(const QvPluginSignature& signature, QvParser* session, TreeEval* caller = nullptr);

    const QvPluginSignature& signature() const { return signature_; }
    QvParser* session() const { return session_; }
    // The evaluator of the calling statement, when a script made the call.
    TreeEval* caller() const { return caller_; }

    // The entry of the named parameter; raises "Internal named parameter error plugin"
    // for a name the signature does not have.
    QvArgumentSlot& entry(const char* name);
    const QvPluginParameter& parameter(const char* name) const;
    // The entry at an index; raises "Illegal parameter index in plug-in" outside the block.
    QvArgumentSlot& entryAt(long index);

    // A path resolved against the calling script's folder (built-in functions never
    // rely on the process's current directory).
    std::string resolvePath(const std::string& path) const;

private:
    long indexOf(const char* name) const;

    const QvPluginSignature& signature_;
    QvParser* session_;
    TreeEval* caller_;
};
