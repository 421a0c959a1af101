#include "FrontEnd/QvTokens.h"
#include "Plugins/QvCallSite.h"

#include <cstring>
#include <string>

#include "Errors/QvErrors.h"
#include "FrontEnd/AST.h"
#include "Plugins/QvPluginRegistry.h"

const char* QvCallSite::nameSpace() const { return node_->firstChild()->getText(); }

const char* QvCallSite::function() const { return node_->firstChild()->nextSibling()->getText(); }

// #(PARAM_ASSIGN, name, passing) names an argument.
const char* QvCallSite::name(size_t i) const {
    AST* argument = node_->firstChild()->nextSibling()->nextSibling();
    for (; i > 0; --i) argument = argument->nextSibling();
    return argument->getType() == QV_TOK_PARAM_ASSIGN ? argument->firstChild()->getText() : nullptr;
}

// #(NO_REF_PARAMETER, expression) passes a value.
bool QvCallSite::valuesRunNoCode() const {
    for (AST* argument = node_->firstChild()->nextSibling()->nextSibling(); argument; argument = argument->nextSibling()) {
        AST* passing = argument->getType() == QV_TOK_PARAM_ASSIGN ? argument->firstChild()->nextSibling() : argument;
        if (passing->getType() == QV_TOK_NO_REF_PARAMETER && passing->firstChild()->form() == QvNodeForm::Other)
            return false;
    }
    return true;
}

void QvCallSite::raiseIncorrectArguments() const {
    std::string text = "Function \"";
    if (std::strcmp(nameSpace(), QvPluginRegistry::kInternalNamespace) != 0) text += std::string(nameSpace()) + ".";
    text += std::string(function()) + "\" was called with incorrect arguments.";
    QvError(text.c_str());
}
