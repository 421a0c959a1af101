// Client: requests to the host that shows the script's windows.
#include <algorithm>
#include <cmath>

#include "Errors/QvExceptions.h"
#include "Interpreter/TreeEval.h"
#include "Library/QvBuiltinNamespaces.h"
#include "Plugins/QvParameterBlock.h"

namespace {
// Window positions are 16-bit; a position that is not a number leaves the placement
// to the host (-1).
double windowCoordinate(double position) {
    if (std::isnan(position)) return -1;
    return std::clamp(std::trunc(position), -32768.0, 32767.0);
}
}

namespace QvClientNamespace {
// Moves the calling script's window variable of that name (looked up by hash and
// name, as the script's own window statements do); the host shows the move on its
// next poll.
QvValue* SetWindowPosition(QvPluginErrorBlock*, QvParameterBlock* parameters) {
    const char* id = QvParameterBlockGetTextValue(parameters, "id");
    TreeEval* caller = parameters->caller();
    if (!caller) throw new QvIdentifierException(id);
    caller->setWindowPosition(AST::hashOf(id), id, windowCoordinate(QvParameterBlockGetNumberValue(parameters, "x")),
                              windowCoordinate(QvParameterBlockGetNumberValue(parameters, "y")));
    return QvNoValueCreate();
}
}
