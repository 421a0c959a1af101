#pragma once
#include <string>

// Raising helpers for status codes of platform and media calls and for index ranges.

// The support address quoted in the texts; a build setting.
const char* QvSupportAddress();

// The text for a status code, or "unknown".
std::string systemErrorText(long status);

// Returns at once for status 0; otherwise throws a QvException with the status's
// text, or a report naming the status and the caller's source line and file.
void QvCheckSystemError(long status, long sourceLine, const char* sourceFile);

// Throws "Index ... is too large" above maximum (tested first) or "too small" below minimum.
void QvCheckIndexRange(long value, long minimum, long maximum);
