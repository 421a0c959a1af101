#include "Values/QvTypeTables.h"

#include <array>
#include <cstdint>
#include <initializer_list>

namespace {

using Row = uint32_t;  // bit c set: column c takes part in the rule

constexpr Row columns(std::initializer_list<QvTypeEnum> types) {
    Row row = 0;
    for (QvTypeEnum type : types)
        row |= Row(1) << type;
    return row;
}

struct CoercionTable {
    Row allowed[QV_TYPE_COUNT];
};

constexpr CoercionTable coercions = {{
    /* number       */ columns({QV_NUMBER, QV_VECTOR, QV_COLOR, QV_TEXT}),
    /* boolean      */ columns({QV_BOOLEAN, QV_TEXT}),
    /* vector       */ columns({QV_NUMBER, QV_VECTOR, QV_COLOR, QV_TEXT, QV_LIST}),
    /* 3            */ columns({QV_UNNAMED_3, QV_UNNAMED_4, QV_TEXT, QV_FRAME_MONO, QV_FRAME, QV_IMAGE_MONO, QV_IMAGE}),
    /* 4            */ columns({QV_UNNAMED_3, QV_UNNAMED_4, QV_TEXT}),
    /* color        */ columns({QV_NUMBER, QV_VECTOR, QV_COLOR, QV_TEXT}),
    /* videosource  */ columns({QV_VIDEOSOURCE, QV_TEXT}),
    /* movie        */ columns({QV_MOVIE, QV_TEXT}),
    /* text         */ columns({QV_NUMBER, QV_VECTOR, QV_TEXT, QV_LIST}),
    /* date         */ columns({QV_TEXT, QV_DATE}),
    /* list         */ columns({QV_VECTOR, QV_UNNAMED_4, QV_TEXT, QV_LIST, QV_IMAGE_MONO}),
    /* video_output */ columns({QV_TEXT, QV_VIDEO_OUTPUT}),
    /* frame_mono   */ columns({QV_UNNAMED_3, QV_TEXT, QV_FRAME_MONO, QV_FRAME, QV_IMAGE_MONO, QV_IMAGE}),
    /* frame        */ columns({QV_UNNAMED_3, QV_TEXT, QV_FRAME_MONO, QV_FRAME, QV_IMAGE_MONO, QV_IMAGE}),
    /* image_mono   */ columns({QV_UNNAMED_3, QV_TEXT, QV_FRAME_MONO, QV_FRAME, QV_IMAGE_MONO, QV_IMAGE}),
    /* image        */ columns({QV_UNNAMED_3, QV_TEXT, QV_FRAME_MONO, QV_FRAME, QV_IMAGE_MONO, QV_IMAGE}),
    /* undefined    */ columns({QV_UNDEFINED}),
}};

// One line of a result table: left type `row` with any right type in `rights` gives `result`.
struct ResultRule {
    QvTypeEnum row;
    Row rights;
    QvTypeEnum result;
};

struct ResultTable {
    QvTypeEnum cell[QV_TYPE_COUNT][QV_TYPE_COUNT];
};

// Rows shared by every operator: numbers, vectors, colours, the pictures without text
// and the two unnamed rows without text and boolean.
constexpr std::array<ResultRule, 9> commonRules = {{
    {QV_NUMBER, columns({QV_NUMBER}), QV_NUMBER},
    {QV_VECTOR, columns({QV_NUMBER, QV_VECTOR}), QV_VECTOR},
    {QV_COLOR, columns({QV_NUMBER, QV_VECTOR, QV_COLOR}), QV_COLOR},
    {QV_FRAME_MONO, columns({QV_NUMBER, QV_COLOR, QV_FRAME_MONO}), QV_FRAME_MONO},
    {QV_FRAME, columns({QV_NUMBER, QV_COLOR, QV_FRAME_MONO, QV_FRAME}), QV_FRAME},
    {QV_IMAGE_MONO, columns({QV_NUMBER, QV_COLOR, QV_FRAME_MONO, QV_IMAGE_MONO}), QV_IMAGE_MONO},
    {QV_IMAGE, columns({QV_NUMBER, QV_COLOR, QV_FRAME_MONO, QV_FRAME, QV_IMAGE_MONO, QV_IMAGE}), QV_IMAGE},
    {QV_UNNAMED_3, columns({QV_NUMBER, QV_VECTOR, QV_UNNAMED_3, QV_COLOR, QV_DATE}), QV_UNNAMED_3},
    {QV_UNNAMED_4, columns({QV_NUMBER, QV_VECTOR, QV_UNNAMED_3, QV_UNNAMED_4, QV_COLOR}), QV_UNNAMED_4},
}};

constexpr void applyRule(ResultTable& table, const ResultRule& rule) {
    for (int right = 0; right < QV_TYPE_COUNT; ++right)
        if (rule.rights & (Row(1) << right))
            table.cell[rule.row][right] = rule.result;
}

// The common rules plus the operator's own.
constexpr ResultTable buildTable(std::initializer_list<ResultRule> ownRules) {
    ResultTable table{};
    for (auto& row : table.cell)
        for (auto& cell : row)
            cell = QV_UNDEFINED;
    for (const ResultRule& rule : commonRules)
        applyRule(table, rule);
    for (const ResultRule& rule : ownRules)
        applyRule(table, rule);
    return table;
}

constexpr ResultTable addition = buildTable({
    {QV_DATE, columns({QV_NUMBER}), QV_DATE},
    {QV_FRAME_MONO, columns({QV_TEXT}), QV_FRAME_MONO},
    {QV_FRAME, columns({QV_TEXT}), QV_FRAME},
    {QV_IMAGE_MONO, columns({QV_TEXT}), QV_IMAGE_MONO},
    {QV_IMAGE, columns({QV_TEXT}), QV_IMAGE},
    {QV_MOVIE, columns({QV_MOVIE, QV_FRAME_MONO, QV_FRAME, QV_IMAGE_MONO, QV_IMAGE, QV_UNNAMED_3}), QV_MOVIE},
    {QV_TEXT, columns({QV_NUMBER, QV_BOOLEAN, QV_VECTOR, QV_COLOR, QV_TEXT, QV_DATE}), QV_TEXT},
    {QV_NUMBER, columns({QV_TEXT}), QV_TEXT},
    {QV_BOOLEAN, columns({QV_TEXT}), QV_TEXT},
    {QV_VECTOR, columns({QV_TEXT}), QV_TEXT},
    {QV_COLOR, columns({QV_TEXT}), QV_TEXT},
    {QV_DATE, columns({QV_TEXT}), QV_TEXT},
    {QV_UNNAMED_3, columns({QV_BOOLEAN, QV_TEXT}), QV_UNNAMED_3},
});

constexpr ResultTable subtraction = buildTable({
    {QV_DATE, columns({QV_NUMBER}), QV_DATE},
    {QV_DATE, columns({QV_DATE}), QV_NUMBER},
});

constexpr ResultTable multiplicationAndDivision = buildTable({});

bool isCode(QvTypeEnum type) { return type >= 0 && type < QV_TYPE_COUNT; }

}  // namespace

bool QvCoercionAllowed(QvTypeEnum from, QvTypeEnum to) {
    return isCode(from) && isCode(to) && (coercions.allowed[from] & (Row(1) << to));
}

QvTypeEnum QvArithmeticResultType(QvArithmeticOp op, QvTypeEnum left, QvTypeEnum right) {
    if (!isCode(left) || !isCode(right))
        return QV_UNDEFINED;
    switch (op) {
    case QvArithmeticOp::Add:
        return addition.cell[left][right];
    case QvArithmeticOp::Subtract:
        return subtraction.cell[left][right];
    case QvArithmeticOp::Multiply:
    case QvArithmeticOp::Divide:
        return multiplicationAndDivision.cell[left][right];
    }
    return QV_UNDEFINED;
}
