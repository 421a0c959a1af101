#pragma once
// Marks what the engine library exports to hosts and plug-ins; everything else is hidden.
#define QV_EXPORT __attribute__((visibility("default")))
#define QV_C_EXPORT extern "C" QV_EXPORT
