// The flat interface through which plug-in functions read and write their arguments.
#include "Errors/QvErrors.h"
#include "Interpreter/QvValueContainer.h"
#include "Plugins/QvParameterBlock.h"
#include "Plugins/QvPluginInterface.h"
#include "Plugins/QvPluginSignature.h"

namespace {
QvArgumentSlot& entryOf(QvParameterBlock* block, const char* name) {
    if (!block) QvError("Internal named parameter error plugin");
    return block->entry(name);
}

QvValueContainer* referenceOf(QvParameterBlock* block, const char* name, const char* message) {
    QvArgumentSlot& entry = entryOf(block, name);
    if (entry.kind != QvArgumentSlot::Reference) QvError(message);
    return entry.referee;
}

QvValue* valueOf(QvParameterBlock* block, const char* name) {
    QvArgumentSlot& entry = entryOf(block, name);
    QvValue* value = nullptr;
    if (entry.kind == QvArgumentSlot::Value) value = entry.value.get();
    if (entry.kind == QvArgumentSlot::Reference) value = entry.referee->getValue().get();
    if (!value) QvError("Empty parameter in plug-in");
    return value;
}

QvValue* valueOfType(QvParameterBlock* block, const char* name, QvTypeEnum type, const char* message) {
    QvValue* value = valueOf(block, name);
    if (value->GetType() != type) QvError(message);
    return value;
}

const char* const kNotText = "Illegal attempt to coerce another type to text in plugin";
const char* const kNotVector = "Illegal attempt to coerce another type to vector in plugin";
}

QvValue* QvParameterBlockGetValue(QvParameterBlock* block, const char* name) { return valueOf(block, name); }

QvValue* QvParameterBlockGetValueUnique(QvParameterBlock* block, const char* name) {
    QvArgumentSlot& entry = entryOf(block, name);
    if (entry.kind != QvArgumentSlot::Value) QvError("Non r-parameter in plug-in");
    entry.value.makeUnique();
    return entry.value.get();
}

QvValue* QvParameterBlockGetValueMutable(QvParameterBlock* block, const char* name) {
    QvValueRef& handle = referenceOf(block, name, "Empty parameter in plug-in")->getValueForWrite();
    handle.makeUnique();
    return handle.get();
}

int QvParameterBlockIsReferenceValue(QvParameterBlock* block, const char* name) {
    return entryOf(block, name).kind == QvArgumentSlot::Reference;
}

// A handle is a single counted pointer, so its address is the address of the pointer
// it holds. Writers go through QvParameterBlockSetValue, which keeps the counts right.
QvValue** QvParameterBlockGetReferenceValue(QvParameterBlock* block, const char* name) {
    static_assert(sizeof(QvValueRef) == sizeof(QvValue*), "a value handle is one pointer");
    QvValueRef& handle = referenceOf(block, name, "Non l-value parameter in plug-in")->getValueForWrite();
    return reinterpret_cast<QvValue**>(&handle);
}

// The value is adopted before anything is checked, so a refused value is freed.
void QvParameterBlockSetValue(QvParameterBlock* block, const char* name, QvValue* value) {
    QvValueRef adopted(value);
    QvValueContainer* variable = referenceOf(block, name, "Non l-value parameter in plug-in");
    if (!adopted) QvError("Empty parameter in plug-in");
    variable->setValue(std::move(adopted));
}

// The value changed belongs to the variable at the end of the reference chain;
// notifying that one reaches every variable (and window) that refers to it.
void QvParameterBlockNotifyChange(QvParameterBlock* block, const char* name) {
    QvArgumentSlot& entry = entryOf(block, name);
    if (entry.kind != QvArgumentSlot::Reference) return;
    QvValueContainer* holder = entry.referee;
    while (holder->referee()) holder = holder->referee();
    holder->notify();
}

int QvParameterBlockIsDynamicGenerationRequired(QvParameterBlock* block, const char* name) {
    QvArgumentSlot& entry = entryOf(block, name);
    return block->parameter(name).dynamic && entry.kind == QvArgumentSlot::Empty;
}

double QvParameterBlockGetNumberValue(QvParameterBlock* block, const char* name) {
    return valueOfType(block, name, QV_NUMBER, "Illegal attempt to coerce another type to number in plugin")
        ->AsNumber();
}

int QvParameterBlockGetBooleanValue(QvParameterBlock* block, const char* name) {
    return valueOfType(block, name, QV_BOOLEAN, "Illegal attempt to coerce another type to boolean in plugin")
        ->AsBoolean();
}

const char* QvParameterBlockGetTextValue(QvParameterBlock* block, const char* name) {
    return static_cast<QvTextValue*>(valueOfType(block, name, QV_TEXT, kNotText))->text().c_str();
}

int QvParameterBlockCompareTextValue(QvParameterBlock* block, const char* name, const char* text) {
    return static_cast<QvTextValue*>(valueOfType(block, name, QV_TEXT, kNotText))->text() == (text ? text : "");
}

long QvParameterBlockGetVectorLength(QvParameterBlock* block, const char* name) {
    return static_cast<long>(valueOfType(block, name, QV_VECTOR, kNotVector)->AsVector().size());
}

double QvParameterBlockGetVectorValue(QvParameterBlock* block, const char* name, long index) {
    const std::vector<double>& elements = valueOfType(block, name, QV_VECTOR, kNotVector)->AsVector();
    if (index < 0 || static_cast<size_t>(index) >= elements.size()) QvError("Illegal vector index in plugin");
    return elements[index];
}

QvValue* QvParameterBlockResolvePath(QvParameterBlock* block, const char* path) {
    return QvTextCreate(block->resolvePath(path ? path : "").c_str());
}
