// Fuzz target: arbitrary bytes through the whole front end (session construction,
// scanner, parser, error records, plug-in call check), then the lexical pass alone.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Session/QvParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    long length = static_cast<long>(text.size());
    {
        QvParser session(text.c_str(), length, nullptr, true);
        session.CheckSyntax();
        Qv_stringstream errors;
        for (ParseError* error : session.getParseErrors()) error->writeTo(errors);
        session.releaseParseErrors();
    }
    {
        QvParser session(text.c_str(), length, nullptr, true);
        session.LexicalPassOnly();
    }
    return 0;
}
