#include <gtest/gtest.h>

#include <cstring>

#include "app/exception.h"
#include "gl/arrays.h"
#include "support/exception_message.h"

namespace {


TEST(TDArray, ItemSizesAndPackedLayout) {
    EXPECT_EQ(TDArray().ItemSize(), 1);
    EXPECT_EQ(TGLVectorDArray().ItemSize(), 12);
    EXPECT_EQ(TGLColorDArray().ItemSize(), 16);
    EXPECT_EQ(TGLTextureCoordDArray().ItemSize(), 8);
    EXPECT_EQ(TGLIndexDArray().ItemSize(), 4);

    TGLVectorDArray v;
    v.Grow(2);
    v.SetXYZ(1, 4, 5, 6);
    const auto* floats = static_cast<const float*>(v.Data());
    EXPECT_EQ(floats[3], 4.0f);
    EXPECT_EQ(floats[5], 6.0f);
}

TEST(TDArray, GrowZeroFillsAndShrinkToZeroFreesTheBlock) {
    TGLVectorDArray v;
    v.Grow(3);
    ASSERT_EQ(v.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        const Vector item = v.GetItem(i);
        EXPECT_EQ(item.x, 0.0f);
        EXPECT_EQ(item.y, 0.0f);
        EXPECT_EQ(item.z, 0.0f);
    }
    v.SetXYZ(0, 1, 2, 3);
    v.Grow(0);
    v.Grow(-4);
    v.Shrink(-1);
    EXPECT_EQ(v.Count(), 3);
    v.SetCount(1);
    EXPECT_EQ(v.Count(), 1);
    EXPECT_EQ(v.GetItem(0).z, 3.0f);
    v.SetCount(0);
    EXPECT_EQ(v.Count(), 0);
    EXPECT_EQ(v.Data(), nullptr);
    v.Grow(2);
    v.Shrink(5);
    EXPECT_EQ(v.Count(), 0);
    EXPECT_EQ(v.Data(), nullptr);
}

TEST(TDArray, BoundsAreCheckedAtBothEndsAndLeaveTheArrayUnchanged) {
    TGLIndexDArray a;
    a.SetCount(2);
    a.SetIndex(1, 42);
    EXPECT_EQ(MessageOf([&] { a.GetIndex(2); }), "TDArray GetItem: index out of bounds.");
    EXPECT_EQ(MessageOf([&] { a.GetIndex(-1); }), "TDArray GetItem: index out of bounds.");
    EXPECT_EQ(MessageOf([&] { a.SetIndex(2, 1); }), "TDArray SetItem: index out of bounds.");
    EXPECT_EQ(MessageOf([&] { a.SetIndex(-1, 1); }), "TDArray SetItem: index out of bounds.");
    char buffer[4];
    EXPECT_EQ(MessageOf([&] { a.TDArray::GetItem(2, buffer); }), "TDArray GetItem: index out of bounds.");
    EXPECT_EQ(a.Count(), 2);
    EXPECT_EQ(a.GetIndex(1), 42);

    TGLColorDArray empty;
    EXPECT_EQ(MessageOf([&] { empty.GetItem(0); }), "TDArray GetItem: index out of bounds.");
}

TEST(TDArray, CopyToMakesAnExactCopyAndRefusesAnotherItemSize) {
    TGLVectorDArray source;
    source.SetFromArray(std::vector<float>{1, 2, 3, 4, 5, 6});

    TGLColorDArray colours;
    colours.SetCount(3);
    EXPECT_EQ(MessageOf([&] { source.CopyTo(&colours); }), "TDArray CopyTo: item sizes differ.");
    EXPECT_EQ(colours.ItemSize(), 16);
    EXPECT_EQ(colours.Count(), 3);

    source.CopyTo(nullptr);
    TGLVectorDArray copy;
    copy.SetCount(7);
    TGLVectorDArray().CopyTo(&copy);  // an empty source leaves the destination as it was
    EXPECT_EQ(copy.Count(), 7);
    source.CopyTo(&copy);
    EXPECT_EQ(copy.Count(), 2);
    EXPECT_EQ(std::memcmp(copy.Data(), source.Data(), 24), 0);
}

TEST(TDArray, AppendOnlyJoinsArraysOfTheSameItemSize) {
    TGLVectorDArray v;
    v.SetFromArray(std::vector<float>{1, 2, 3});
    TGLColorDArray c;
    c.SetFromArray(std::vector<float>{1, 1, 1});
    v.Append(&c);
    EXPECT_EQ(v.Count(), 1);
    v.Append(nullptr);
    EXPECT_EQ(v.Count(), 1);

    TGLVectorDArray more;
    more.SetFromArray(std::vector<float>{4, 5, 6, 7, 8, 9});
    v.Append(&more);
    ASSERT_EQ(v.Count(), 3);
    EXPECT_EQ(v.GetItem(0).x, 1.0f);
    EXPECT_EQ(v.GetItem(2).z, 9.0f);

    v.Append(&v);
    ASSERT_EQ(v.Count(), 6);
    EXPECT_EQ(v.GetItem(5).z, 9.0f);
}

TEST(TDArray, SetFromArrayIgnoresATrailingPartialItem) {
    TGLColorDArray c;
    c.SetFromArray(std::vector<float>{0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f});
    ASSERT_EQ(c.Count(), 2);
    EXPECT_EQ(c.GetItem(0).a, 1.0f);
    EXPECT_EQ(c.GetItem(1).r, 0.4f);
    EXPECT_EQ(c.GetItem(1).a, 1.0f);

    TGLVectorDArray v;
    v.SetFromArray(std::vector<float>(12, 2.0f));
    EXPECT_EQ(v.Count(), 4);
    v.SetFromArray(std::vector<float>{1, 2});
    EXPECT_EQ(v.Count(), 0);

    TGLTextureCoordDArray t;
    t.SetFromArray(std::vector<float>{1, 2, 3, 4, 5});
    ASSERT_EQ(t.Count(), 2);
    EXPECT_EQ(t.GetItem(1).t, 4.0f);

    TGLIndexDArray idx;
    idx.SetFromArray(std::vector<Index>{3, 1, 2});
    ASSERT_EQ(idx.Count(), 3);
    EXPECT_EQ(idx.GetIndex(0), 3);

    v.SetFromArray(std::vector<float>{1, 2, 3, 4, 5, 6});
    v.Zero();
    EXPECT_EQ(v.GetItem(1).y, 0.0f);
}

}  // namespace
