#pragma once
#include <cstddef>
#include <cstdint>

#include "QvInterfaces.h"

// A stream over bytes in memory, positioned at its start, for hosts that keep a
// script's saved form in memory and for tests. `capacity` caps its size: a write or
// resize past it fails with STG_E_MEDIUMFULL and changes nothing. Locking regions and
// cloning are not offered. The caller gets one reference.
HRESULT QvCreateMemoryStream(const void* data, size_t size, IStream** stream, size_t capacity = SIZE_MAX);
