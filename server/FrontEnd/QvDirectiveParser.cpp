#include "FrontEnd/QvDirectiveParser.h"

#include "FrontEnd/QvPreprocessor.h"

void QvDirectiveParser::include() { preprocessor_.include(name_, output_); }
