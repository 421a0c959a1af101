#pragma once
// Everything a plug-in module (and a built-in function) needs: the function type it
// registers, the signature calls that describe it, the parameter block it reads its
// arguments from, the error block it reports failure through, and the value, error
// and version functions of the engine. All of them have C linkage and plain names.
#include "Errors/QvErrors.h"
#include "Images/QvPictureApi.h"
#include "QvExport.h"
#include "QvGWorld/QvGWorld.h"
#include "Values/QvBooleanValue.h"
#include "Values/QvNoValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"
#include "Values/QvType.h"
#include "Values/QvValue.h"

class QvPluginSignature;
class QvParameterBlock;
struct QvPluginErrorBlock;

// A plug-in function: fills the error block on failure, returns a new value (or null
// for "no result"); the engine owns the returned value.
typedef QvValue* (*QvPluginFunction)(QvPluginErrorBlock* error, QvParameterBlock* parameters);

// How a parameter is passed.
enum QvEnumArgumentConsumed {
    QvArgumentNotConsumed = 0,  // const: the function leaves the argument alone
    QvArgumentConsumed = 1,     // the function may change its private copy
    QvArgumentByReference = 2   // the caller's variable is passed and may be changed
};

// Markers for the default and the name of QvPluginSignatureSetParam.
#define QvParameterRequired (reinterpret_cast<QvValue*>(-1))
#define QvParameterDynamic (reinterpret_cast<QvValue*>(-2))
#define QvParameterUnnamed (reinterpret_cast<const char*>(-3))

// Describing a function: one create, one set-param per declared parameter, one commit.
// After the commit the signature belongs to the engine (filed, or deleted when refused).
QV_C_EXPORT QvPluginSignature* QvPluginSignatureCreate(unsigned long parameterCount, QvType returnType,
                                                       QvPluginFunction function);
QV_C_EXPORT void QvPluginSignatureSetParam(QvPluginSignature* signature, QvType acceptedTypes, const char* name,
                                           QvValue* defaultValue, QvEnumArgumentConsumed mode);
QV_C_EXPORT void QvPluginSignatureCommit(QvPluginSignature* signature, const char* nameSpace, const char* name,
                                         const char* helpText);

// Arguments, by parameter name. Values read here are borrowed for the call.
QV_C_EXPORT QvValue* QvParameterBlockGetValue(QvParameterBlock* block, const char* name);
QV_C_EXPORT QvValue* QvParameterBlockGetValueUnique(QvParameterBlock* block, const char* name);
QV_C_EXPORT QvValue* QvParameterBlockGetValueMutable(QvParameterBlock* block, const char* name);
QV_C_EXPORT int QvParameterBlockIsReferenceValue(QvParameterBlock* block, const char* name);
QV_C_EXPORT QvValue** QvParameterBlockGetReferenceValue(QvParameterBlock* block, const char* name);
QV_C_EXPORT void QvParameterBlockSetValue(QvParameterBlock* block, const char* name, QvValue* value);
QV_C_EXPORT void QvParameterBlockNotifyChange(QvParameterBlock* block, const char* name);
QV_C_EXPORT int QvParameterBlockIsDynamicGenerationRequired(QvParameterBlock* block, const char* name);
QV_C_EXPORT double QvParameterBlockGetNumberValue(QvParameterBlock* block, const char* name);
QV_C_EXPORT int QvParameterBlockGetBooleanValue(QvParameterBlock* block, const char* name);
QV_C_EXPORT const char* QvParameterBlockGetTextValue(QvParameterBlock* block, const char* name);
QV_C_EXPORT int QvParameterBlockCompareTextValue(QvParameterBlock* block, const char* name, const char* text);
QV_C_EXPORT long QvParameterBlockGetVectorLength(QvParameterBlock* block, const char* name);
QV_C_EXPORT double QvParameterBlockGetVectorValue(QvParameterBlock* block, const char* name, long index);
// A path as the calling script means it: a relative one is taken from the script's
// folder (scripts run side by side, so the process's current directory means nothing
// to them). Returns a new text value, which the caller deletes with QvTextDelete.
QV_C_EXPORT QvValue* QvParameterBlockResolvePath(QvParameterBlock* block, const char* path);

// Reporting failure: a number, a message or a URL (either alone sets the number to -1).
QV_C_EXPORT void QvPluginErrorBlockSetNumber(QvPluginErrorBlock* error, long number);
QV_C_EXPORT void QvPluginErrorBlockSetMessage(QvPluginErrorBlock* error, const char* message);
QV_C_EXPORT void QvPluginErrorBlockSetURL(QvPluginErrorBlock* error, const char* url);

// The engine's version: 3, 0, 1 and "3.0a"; compatible means the same major version.
QV_C_EXPORT void QvGetVersion(long* major, long* minor, long* build);
QV_C_EXPORT const char* QvGetVersionString();
QV_C_EXPORT int QvIsCompatibleVersion(long major);
QV_C_EXPORT int QvIsAltiVecAvailable();

// What a module exports: registers its functions with the calls above. It may throw a
// 16-bit error code (short) to report that it failed.
#define QV_PLUGIN_ENTRY_POINT "PluginRegisterVersion001"
typedef void (*QvPluginEntryPoint)();
