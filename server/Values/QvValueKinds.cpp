#include "Values/QvValueKinds.h"

#include "Errors/QvExceptions.h"
#include "Images/Qv2DValue.h"
#include "Media/QvMediaMovie.h"
#include "Movie/QvMovieValue.h"
#include "Values/QvBooleanValue.h"
#include "Values/QvColorValue.h"
#include "Values/QvDateTimeValue.h"
#include "Values/QvListValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"
#include "Values/QvVectorValue.h"

namespace {

struct Kind {
    QvValue* (*readData)(std::istream& in);
    QvValue* (*shallowConstruct)(QvValue* shape);
    QvValue* (*fromNumbers)(const std::vector<double>& numbers);
    QvValue* (*fromWords)(const std::vector<std::string>& words);
    QvValue* (*fromMonoRows)(const QvMonoRows& rows);
};

QvValue* emptyNumber(QvValue*) { return new QvNumberValue; }
QvValue* emptyText(QvValue*) { return new QvTextValue; }
QvValue* emptyColor(QvValue*) { return new QvColorValue; }

// A movie result starts empty with the settings of the movie it is computed from.
QvValue* emptyMovie(QvValue* shape) {
    QvMovieValue* movie = QvAsMovie(shape);
    return movie ? new QvMovieValue(std::make_unique<QvMediaMovie>(), movie->settings()) : new QvMovieValue;
}

// The shape is the vector operand whose element count the result takes.
QvValue* zeroVector(QvValue* shape) {
    return QvVectorValue::zeros(shape && shape->GetType() == QV_VECTOR ? shape->AsVector().size() : 0);
}

// Date arithmetic starts from a copy of the date operand.
QvValue* copiedDate(QvValue* shape) {
    return shape && shape->GetType() == QV_DATE ? new QvDateTimeValue(shape->AsDate()) : new QvDateTimeValue;
}

template <QvTypeEnum type>
QvValue* readPicture(std::istream& in) {
    return Qv2DValue::ReadPicture(type, in);
}

// Pictures take the size of the picture they are computed from.
template <QvTypeEnum type>
QvValue* emptyPicture(QvValue* shape) {
    const Qv2DValue* picture = QvAsPicture(shape);
    return QvNewPicture(type, picture ? picture->GetWidth() : 0, picture ? picture->GetHeight() : 0);
}

QvValue* monoImageOfRows(const QvMonoRows& rows) {
    Qv2DValue* image = QvNewPicture(QV_IMAGE_MONO, int32_t(rows.width), int32_t(rows.height));
    for (size_t y = 0; y < rows.height; ++y) {
        fgPix* row = image->pixels().row<fgPix>(int32_t(y));
        for (size_t x = 0; x < rows.width; ++x)
            row[x].grey = rows.samples[y * rows.width + x];
    }
    return image;
}

QvValue* vectorOfNumbers(const std::vector<double>& numbers) { return new QvVectorValue(numbers); }

QvValue* colorOfNumbers(const std::vector<double>& numbers) {
    QvColor color;
    double* components[] = {&color.red, &color.green, &color.blue};
    for (size_t i = 0; i < 3 && i < numbers.size(); ++i)
        *components[i] = numbers[i];
    return new QvColorValue(color);
}

QvValue* listOfWords(const std::vector<std::string>& words) {
    QvListValue* list = new QvListValue;
    for (const std::string& word : words)
        list->Append(new QvTextValue(word));
    return list;
}

const Kind kinds[QV_TYPE_COUNT] = {
    /* number       */ {&QvNumberValue::ReadData, &emptyNumber, nullptr, nullptr, nullptr},
    /* boolean      */ {&QvBooleanValue::ReadData, nullptr, nullptr, nullptr, nullptr},
    /* vector       */ {&QvVectorValue::ReadData, &zeroVector, &vectorOfNumbers, nullptr, nullptr},
    /* 3            */ {},
    /* 4            */ {},
    /* color        */ {&QvColorValue::ReadData, &emptyColor, &colorOfNumbers, nullptr, nullptr},
    /* videosource  */ {},
    /* movie        */ {nullptr, &emptyMovie, nullptr, nullptr, nullptr},
    /* text         */ {&QvTextValue::ReadData, &emptyText, nullptr, nullptr, nullptr},
    /* date         */ {&QvDateTimeValue::ReadData, &copiedDate, nullptr, nullptr, nullptr},
    /* list         */ {&QvListValue::ReadData, nullptr, nullptr, &listOfWords, nullptr},
    /* video_output */ {},
    /* frame_mono   */ {&readPicture<QV_FRAME_MONO>, &emptyPicture<QV_FRAME_MONO>, nullptr, nullptr, nullptr},
    /* frame        */ {&readPicture<QV_FRAME>, &emptyPicture<QV_FRAME>, nullptr, nullptr, nullptr},
    /* image_mono   */ {&readPicture<QV_IMAGE_MONO>, &emptyPicture<QV_IMAGE_MONO>, nullptr, nullptr, &monoImageOfRows},
    /* image        */ {&readPicture<QV_IMAGE>, &emptyPicture<QV_IMAGE>, nullptr, nullptr, nullptr},
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

QvValue* fromMonoRows(QvTypeEnum target, const QvMonoRows& rows, QvTypeEnum source) {
    const Kind* kind = kindOf(target);
    if (!kind || !kind->fromMonoRows)
        raiseNotYetImplemented(source, target);
    return kind->fromMonoRows(rows);
}

}  // namespace QvValueKinds
