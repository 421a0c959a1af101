#include "Plugins/QvParameterBlock.h"

#include <cstring>
#include <filesystem>

#include "Errors/QvErrors.h"
#include "Plugins/QvPluginSignature.h"
#include "Session/QvParser.h"

QvParameterBlock::QvParameterBlock(const QvPluginSignature& signature, QvParser* session, TreeEval* caller)
    : QvArgumentBlock(signature.declaredCount()), signature_(signature), session_(session), caller_(caller) {}

long QvParameterBlock::indexOf(const char* name) const {
    const std::vector<QvPluginParameter>& parameters = signature_.parameters();
    if (name)
        for (size_t i = 0; i < parameters.size(); ++i)
            if (std::strcmp(parameters[i].name.c_str(), name) == 0) return static_cast<long>(i);
    QvError("Internal named parameter error plugin");
}

QvArgumentSlot& QvParameterBlock::entry(const char* name) { return entryAt(indexOf(name)); }

const QvPluginParameter& QvParameterBlock::parameter(const char* name) const {
    return signature_.parameters()[indexOf(name)];
}

QvArgumentSlot& QvParameterBlock::entryAt(long index) {
    if (index < 0 || static_cast<size_t>(index) >= size()) QvError("Illegal parameter index in plug-in");
    return entries()[index];
}

std::string QvParameterBlock::resolvePath(const std::string& path) const {
    std::filesystem::path resolved(path);
    if (resolved.is_relative() && session_ && !session_->scriptFile().empty())
        resolved = std::filesystem::path(session_->scriptFile().directory()) / resolved;
    return resolved.string();
}
