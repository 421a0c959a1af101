#include "FrontEnd/QvTokens.h"
#include "FrontEnd/QvTreeWriter.h"

#include <cstring>
#include <iomanip>

#include "FrontEnd/QvTokenNames.h"

namespace {
void writeQuoted(std::ostream& os, const std::string& text) {
    os << '"';
    for (unsigned char c : text) {
        switch (c) {
        case '\n': os << "\\n"; break;
        case '\r': os << "\\r"; break;
        case '\t': os << "\\t"; break;
        case '"': os << "\\\""; break;
        case '\\': os << "\\\\"; break;
        default:
            if (c < 32 || c == 127)
                os << '\\' << std::setw(3) << std::setfill('0') << static_cast<int>(c) << std::setfill(' ');
            else
                os << c;
        }
    }
    os << '"';
}

const char* shortName(int type) {
    const char* name = qvTokenName(type);
    if (std::strncmp(name, "QV_TOK_", 7) == 0) return name + 7;
    if (std::strncmp(name, "QV_", 3) == 0) return name + 3;
    return name;
}

void writeDate(std::ostream& os, const QvDateFields& date) {
    static const char* const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                         "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    os << "DATETIME[" << std::setfill('0');
    if (date.hasDate) os << date.day << ':' << months[(date.month - 1) % 12] << ':' << date.year << ' ';
    os << std::setw(2) << date.hour << ':' << std::setw(2) << date.minute << ':' << std::setw(2)
       << date.second << std::setfill(' ') << ']';
}

void writeLabel(std::ostream& os, AST* node) {
    switch (node->getType()) {
    case QV_TOK_IDENT: case QV_TOK_INT1: case QV_TOK_INT2: case QV_TOK_INT4: case QV_TOK_INT_TOK:
    case QV_TOK_FLOAT: case QV_TOK_EXP_NUM:
        os << node->getText();
        break;
    case QV_TOK_STRINGLIT:
        writeQuoted(os, node->getText());
        break;
    case QV_TOK_BADSTRING:
        os << "BADSTRING ";
        writeQuoted(os, node->getText());
        break;
    case QV_TOK_SCRIPT:
        os << "SCRIPT ";
        writeQuoted(os, node->getText());
        break;
    case QV_TOK_DATETIME:
        if (node->dateFields()) {
            writeDate(os, *node->dateFields());
            break;
        }
        [[fallthrough]];
    default:
        os << shortName(node->getType());
    }
}
}

namespace QvTreeWriter {
void writeToken(std::ostream& os, const QvToken& token) {
    os << token.getLine() << ": " << qvTokenName(token.getType()) << " (" << token.getType() << ") ";
    writeQuoted(os, token.text());
    os << "\n";
}

void writeTree(std::ostream& os, AST* tree) {
    if (!tree->firstChild()) {
        writeLabel(os, tree);
        return;
    }
    os << "#(";
    writeLabel(os, tree);
    for (AST* child = tree->firstChild(); child; child = child->nextSibling()) {
        os << ", ";
        writeTree(os, child);
    }
    os << ")";
}
}
