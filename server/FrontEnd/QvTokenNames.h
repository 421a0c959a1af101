#pragma once
#include "QvExport.h"

// The name of a token number as error messages and tree listings print it.
QV_EXPORT const char* qvTokenName(int type);
