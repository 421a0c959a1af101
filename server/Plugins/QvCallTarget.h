#pragma once
#include <cstdint>
#include <vector>

#include "FrontEnd/AST.h"
#include "Plugins/QvPluginRegistry.h"

class QvCallSite;
class QvFunctionContainerLocal;
class QvPluginSignature;

// What one call expression found in the registries: the overloads of its function,
// those of the process-wide registry first, and for each the parameter that every
// argument takes. Which parameter an argument takes depends only on the names and
// the number of the arguments, which the call expression fixes, so it is worked out
// once; at each call only the arguments' types remain to be checked. The target is
// kept on the call's node until a registry changes.
class QvCallTarget : public QvNodeObject {
public:
    static constexpr uint16_t kNoParameter = UINT16_MAX;

    struct Argument {
        uint16_t parameter;  // the parameter the argument takes
        bool anyValue;       // the parameter takes a value of any type
        bool anyVariable;    // the parameter takes a variable holding any type
    };
    struct Overload {
        const QvPluginSignature* signature;
        // False when the names or the number of the arguments rule the overload out.
        bool viable;
        std::vector<Argument> arguments;
        std::vector<int> argumentOf;  // per parameter: the argument it takes, or -1
        // The script function the signature runs; null for a plug-in's.
        QvFunctionContainerLocal* scriptFunction;
        // The signature lets the function return anything.
        bool anyResult;
    };

    // The target of the call expression `node` whose arguments `call` holds.
    static const QvCallTarget& of(AST* node, const QvCallSite& call);
    // The target the node keeps, when the registries are still as it found them.
    static const QvCallTarget* kept(AST* node) {
        auto* target = static_cast<const QvCallTarget*>(node->evaluatorObject().get());
        return target && target->registryVersion_ == QvPluginRegistry::version() ? target : nullptr;
    }

    const std::vector<Overload>& overloads() const { return overloads_; }
    // The overload every call takes whatever its arguments: the first viable one, when
    // it is a script function whose parameters take anything and every argument is of
    // the kind its parameter takes (a value, or a variable when no code runs while the
    // arguments are evaluated); null otherwise.
    const Overload* scriptCall() const { return scriptCall_; }
    // The overload a call whose arguments are all numbers, passed as values, takes when
    // that is a script function: the first viable one whose parameters accept them.
    // Null otherwise, or when the call passes a variable by reference.
    const Overload* numberCall() const { return numberCall_; }

private:
    explicit QvCallTarget(const QvCallSite& call);
    void addOverloads(const std::vector<std::unique_ptr<QvPluginSignature>>* signatures, const QvCallSite& call);
    static Overload plan(const QvPluginSignature& signature, const QvCallSite& call);
    static bool acceptsNumbers(const Overload& overload, const QvCallSite& call);

    uint64_t registryVersion_;
    std::vector<Overload> overloads_;
    const Overload* scriptCall_ = nullptr;
    const Overload* numberCall_ = nullptr;
};
