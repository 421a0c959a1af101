#include <gtest/gtest.h>

#include <sstream>

#include "ErrorCapture.h"
#include "Values/QvBooleanValue.h"
#include "Values/QvListLiteral.h"
#include "Values/QvListValue.h"
#include "Values/QvNumberValue.h"
#include "Values/QvTextValue.h"
#include "Values/QvVectorValue.h"

namespace {
QvValueRef number(double x) { return new QvNumberValue(x); }
QvValueRef text(const char* t) { return new QvTextValue(t); }
QvValueRef vec(std::vector<double> elements) { return new QvVectorValue(std::move(elements)); }

QvValueRef listOf(std::initializer_list<QvValueRef> elements) {
    QvValueRef list = new QvListValue;
    for (const QvValueRef& element : elements)
        list->Append(element.get());
    return list;
}

QvValueRef at(const QvValueRef& list, double i, bool forUpdate = false) {
    QvValueRef out;
    list->GetIndexed(out, number(i).get(), forUpdate);
    return out;
}
}  // namespace

TEST(ListSharing, ElementsAreSharedAndProtectedByCopyOnWrite) {
    QvValueRef a = number(1);
    QvValueRef list = listOf({a});
    EXPECT_EQ(at(list, 0).get(), a.get());
    a.makeUnique();
    static_cast<QvNumberValue&>(*a).setValue(5);
    EXPECT_EQ(at(list, 0)->AsNumber(), 1);

    QvValueRef copy(list->Clone());
    EXPECT_EQ(at(copy, 0).get(), at(list, 0).get());
}

TEST(ListSharing, ForUpdateGetCopiesASharedElementFirst) {
    QvValueRef first = listOf({vec({1, 2}), text("x")});
    QvValueRef second = first;
    first.makeUnique();
    QvValueRef plain = at(first, 0);
    EXPECT_EQ(plain.get(), at(second, 0).get());
    plain.reset();

    QvValueRef live = at(first, 0, true);
    EXPECT_NE(live.get(), at(second, 0).get());
    QvValueRef nine = number(9);
    live->SetIndexed(number(0).get(), nine);
    EXPECT_EQ(at(first, 0)->AsText(), "9\t2");
    EXPECT_EQ(at(second, 0)->AsText(), "1\t2");

    QvValue* unshared = at(first, 0, true).get();
    EXPECT_EQ(at(first, 0, true).get(), unshared);
}

TEST(ListSharing, NestedListsChangeThroughTheForUpdatePath) {
    QvValueRef inner = listOf({number(1), text("a")});
    QvValueRef outer = listOf({inner, text("b")});
    QvValueRef keeper = outer;
    outer.makeUnique();
    QvValueRef liveInner = at(outer, 0, true);
    QvValueRef changed = number(2);
    liveInner->SetIndexed(number(0).get(), changed);
    EXPECT_EQ(outer->AsText(), "2\na\nb");
    EXPECT_EQ(keeper->AsText(), "1\na\nb");
    EXPECT_EQ(inner->AsText(), "1\na");
}

TEST(ListSharing, AListAppendedToItselfGoesInAsACopy) {
    QvValueRef list = listOf({number(1)});
    list->Append(list.get());
    list->Insert(list.get(), number(0).get());
    EXPECT_EQ(list->AsText(), "1\n1\n1\n1");
    EXPECT_EQ(list->referenceCount(), 1u);
}

TEST(ListEditing, AppendPrependInsertSetAndDelete) {
    QvValueRef list = new QvListValue;
    QvValueRef x = text("x");
    EXPECT_EQ(raisedMessage([&] { list->Insert(x.get(), number(0).get()); }),
              "Cannot insert an element after the end of a list");
    EXPECT_EQ(raisedMessage([&] { list->Prepend(x.get()); }), "Cannot insert an element after the end of a list");
    list->Append(x.get());
    list->Prepend(number(1).get());
    list->Insert(number(2).get(), number(1).get());
    EXPECT_EQ(list->AsText(), "1\n2\nx");
    EXPECT_EQ(raisedMessage([&] { list->Insert(x.get(), number(3).get()); }),
              "Cannot insert an element after the end of a list");

    QvValueRef y = text("y");
    list->SetIndexed(number(2.7).get(), y);
    EXPECT_EQ(at(list, 2)->AsText(), "y");
    EXPECT_EQ(raisedMessage([&] { list->SetIndexed(number(3).get(), y); }),
              "Index too big. Use append to add elements to the end of a list.");
    EXPECT_EQ(raisedMessage([&] { list->SetIndexed(number(-1).get(), y); }),
              "Index too big. Use append to add elements to the end of a list.");
    EXPECT_EQ(raisedMessage([&] { list->DeleteElement(number(5).get()); }),
              "Index too big. Can't delete elements not in the list.");
    list->DeleteElement(number(0).get());
    EXPECT_EQ(list->AsText(), "2\ny");
    QvValueRef length = list->GetProperty(list->PropertyId("length"));
    EXPECT_EQ(length->AsNumber(), 2);
}

TEST(ListEditing, IndexErrors) {
    QvValueRef list = listOf({number(1)});
    QvValueRef out;
    EXPECT_EQ(raisedMessage([&] { list->GetIndexed(out, number(1).get(), false); }), "List index (1) out of range.");
    EXPECT_EQ(raisedMessage([&] { list->GetIndexed(out, number(-1).get(), true); }), "List index (-1) out of range.");
    EXPECT_EQ(raisedMessage([&] { QvListValue().GetIndexed(out, number(0).get(), false); }),
              "List index (0) out of range.");
    auto& raw = static_cast<QvListValue&>(*list);
    EXPECT_EQ(raw.element(0)->AsNumber(), 1);
    EXPECT_EQ(raisedMessage([&] { raw.element(-2); }), "List index is negative!");
    EXPECT_EQ(raisedMessage([&] { raw.element(1); }), "List index (1) out of range.");
    EXPECT_EQ(raisedMessage([&] { list->Append(nullptr); }),
              "Operation attempted on NULL value. Function may not have returned a result.");
    EXPECT_FALSE(out);
}

TEST(ListForms, TextFlattensIntoLines) {
    EXPECT_EQ(listOf({text("a"), text("b"), text("c")})->AsText(), "a\nb\nc");
    EXPECT_EQ(listOf({})->AsText(), "");
    EXPECT_EQ(listOf({listOf({number(1), number(2)}), vec({3, 4})})->AsText(), "1\n2\n3\t4");
}

TEST(ListForms, Coercions) {
    QvValueRef out;
    listOf({number(1), number(2), number(3)})->CoerceTo(out, QV_VECTOR);
    EXPECT_EQ(out->AsVector(), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(raisedMessage([&] { listOf({number(1), text("two")})->CoerceTo(out, QV_VECTOR); }),
              "Type mismatch error, expecting (number)");
    EXPECT_EQ(raisedMessage([&] { listOf({})->CoerceTo(out, QV_UNNAMED_4); }),
              "Coercion from (list) to (unknown)  is not yet implemented.");
    EXPECT_EQ(raisedMessage([&] { listOf({})->CoerceTo(out, QV_NUMBER); }),
              "Coercion from (list) to (number) is not possible.");
    listOf({text("a")})->CoerceTo(out, QV_TEXT);
    EXPECT_EQ(out->GetType(), QV_TEXT);
}

TEST(ListForms, RowsOfAMonoPicturePadShortVectorsWithZeros) {
    QvValueRef rows = listOf({vec({1, 2, 3}), vec({}), vec({0.5})});
    QvMonoRows picture = static_cast<QvListValue&>(*rows).monoRows();
    EXPECT_EQ(picture.width, 3u);
    EXPECT_EQ(picture.height, 3u);
    EXPECT_EQ(picture.samples, (std::vector<float>{1, 2, 3, 0, 0, 0, 0.5f, 0, 0}));
    EXPECT_EQ(raisedMessage([&] { static_cast<QvListValue&>(*listOf({number(1)})).monoRows(); }),
              "Type mismatch error, expecting (vector)");
}

TEST(ListForms, CFunctionsAdoptFreshValuesAndShareHeldOnes) {
    QvListValue* list = QvListCreate();
    QvValueRef holder = list;
    QvValue* fresh = QvNumberCreate(1);
    QvListAppend(list, fresh);
    EXPECT_EQ(fresh->referenceCount(), 1u);
    QvValueRef held = number(2);
    QvListAppend(list, held.get());
    EXPECT_EQ(held->referenceCount(), 2u);
    QvListAppend(list, nullptr);
    EXPECT_EQ(list->size(), 2u);
    holder.reset();
    EXPECT_EQ(held->referenceCount(), 1u);
}

TEST(ListLiteral, NumbersMakeAVectorVectorsAPictureAnythingElseAList) {
    std::vector<QvValueRef> numbers{number(1), number(2)};
    QvValueRef made = QvMakeListLiteral(std::move(numbers));
    EXPECT_EQ(made->GetType(), QV_VECTOR);
    EXPECT_EQ(made->AsText(), "1\t2");
    made = QvMakeListLiteral({});
    EXPECT_EQ(made->GetType(), QV_VECTOR);
    EXPECT_EQ(made->AsVector().size(), 0u);
    made = QvMakeListLiteral({number(1), text("a")});
    EXPECT_EQ(made->GetType(), QV_LIST);
    EXPECT_EQ(made->AsText(), "1\na");
    made = QvMakeListLiteral({vec({1}), number(2)});
    EXPECT_EQ(made->GetType(), QV_LIST);
    made = QvMakeListLiteral({vec({1, 2}), vec({3, 4})});
    EXPECT_EQ(made->GetType(), QV_IMAGE_MONO);
    EXPECT_EQ(made->AsText().substr(0, 24), "image_mono\n size :\t(2,2)");
}
