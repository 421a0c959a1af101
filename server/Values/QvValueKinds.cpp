#include "Values/QvValueKinds.h"

#include "Errors/QvExceptions.h"
#include "Values/QvBooleanValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"

namespace {

struct Kind {
    QvValue* (*readData)(std::istream& in);
    QvValue* (*shallowConstruct)(QvValue* shape);
    QvValue* (*fromNumbers)(const std::vector<double>& numbers);
    QvValue* (*fromWords)(const std::vector<std::string>& words);
};

QvValue* emptyNumber(QvValue*) { return new QvNumberValue; }
QvValue* emptyText(QvValue*) { return new QvTextValue; }

const Kind kinds[QV_TYPE_COUNT] = {
    /* number       */ {&QvNumberValue::ReadData, &emptyNumber, nullptr, nullptr},
    /* boolean      */ {&QvBooleanValue::ReadData, nullptr, nullptr, nullptr},
    /* vector       */ {},
    /* 3            */ {},
    /* 4            */ {},
    /* color        */ {},
    /* videosource  */ {},
    /* movie        */ {},
    /* text         */ {&QvTextValue::ReadData, &emptyText, nullptr, nullptr},
    /* date         */ {},
    /* list         */ {},
    /* video_output */ {},
    /* frame_mono   */ {},
    /* frame        */ {},
    /* image_mono   */ {},
    /* image        */ {},
    /* undefined    */ {},
};

const Kind* kindOf(QvTypeEnum type) { return type >= 0 && type < QV_TYPE_COUNT ? &kinds[type] : nullptr; }

[[noreturn]] void raiseNotYetImplemented(QvTypeEnum source, QvTypeEnum target) {
    throw new QvCoercionException(source, target, " is not yet implemented.");
}

}  // namespace

namespace QvValueKinds {

QvValue* readData(QvTypeEnum type, std::istream& in) {
    const Kind* kind = kindOf(type);
    return kind && kind->readData ? kind->readData(in) : nullptr;
}

QvValue* shallowConstruct(QvTypeEnum type, QvValue* shape) {
    const Kind* kind = kindOf(type);
    if (!kind || !kind->shallowConstruct)
        throw new QvCoercionException(type, type, " doesn't have ShallowConstruct implemented.");
    return kind->shallowConstruct(shape);
}

QvValue* fromNumbers(QvTypeEnum target, const std::vector<double>& numbers, QvTypeEnum source) {
    const Kind* kind = kindOf(target);
    if (!kind || !kind->fromNumbers)
        raiseNotYetImplemented(source, target);
    return kind->fromNumbers(numbers);
}

QvValue* fromWords(QvTypeEnum target, const std::vector<std::string>& words, QvTypeEnum source) {
    const Kind* kind = kindOf(target);
    if (!kind || !kind->fromWords)
        raiseNotYetImplemented(source, target);
    return kind->fromWords(words);
}

}  // namespace QvValueKinds
