#include "FrontEnd/QvTokens.h"
#include "FrontEnd/AST.h"

AST::AST(ANTLRTokenPtr token) : token_(token), type_(token->getType()), hash_(hashOf(token->getText())) {}

AST::AST(int type, const char* text, int line)
    : token_(new QvToken(static_cast<ANTLRTokenType>(type), text, line)), type_(type), hash_(hashOf(text)) {}

AST::AST(const AST& other)
    : ASTBase(), token_(new QvToken(*other.token())), type_(other.type_), hash_(other.hash_) {}

AST::~AST() = default;

int AST::childCount() const {
    int count = 0;
    for (AST* child = firstChild(); child; child = child->nextSibling()) ++count;
    return count;
}

// PJW hash of the text, reduced to the variable maps' bucket count.
unsigned AST::hashOf(const char* text) {
    unsigned h = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); p && *p; ++p) {
        h = (h << 4) + *p;
        unsigned g = h & 0xF0000000u;
        if (g != 0) h = h ^ (g >> 24) ^ g;
    }
    return h % kHashBuckets;
}

void AST::setDateFields(const QvDateFields& fields) {
    dateFields_.reset(new QvDateFields(fields));
    hash_ = kHashBuckets;
}

QvAstArena::~QvAstArena() {
    for (AST* node : nodes_) delete node;
}
