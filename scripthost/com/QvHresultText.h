#pragma once
#include <string>

#include "QvComTypes.h"

// "0x80040201 (SELFREG_E_CLASS)": the code in hexadecimal, with its name when it is
// one of the codes this layer knows.
std::string QvHresultText(HRESULT result);
