#include <gtest/gtest.h>

#include "model/vert_indices_3dm_list.h"
#include "support/fake_resources.h"

namespace {

TEST(TVertIndices3DMList, BubbleModelMergesSharedCornersInFirstSeenOrder) {
    // Vertex faces [3,4,1] and [2,3,1], texture-coordinate faces the same.
    TVertIndices3DMList merger(4);
    std::vector<std::int32_t> indices;
    for (const auto& face : {std::array{3, 4, 1}, std::array{2, 3, 1}})
        for (const std::int32_t v : face) indices.push_back(merger.IndexOfCorner(v, v, 0));
    EXPECT_EQ(indices, (std::vector<std::int32_t>{0, 1, 2, 3, 0, 2}));
    ASSERT_EQ(merger.Count(), 4);
    std::vector<std::int32_t> order;
    for (std::int32_t i = 0; i < merger.Count(); ++i) {
        EXPECT_EQ(merger.Items(i).MergedIndex, i);
        order.push_back(merger.Items(i).VertexIndex);
    }
    EXPECT_EQ(order, (std::vector<std::int32_t>{3, 4, 1, 2}));
}

TEST(TVertIndices3DMList, TextureSeamsSplitAndColoursDoNot) {
    TVertIndices3DMList merger(2);
    EXPECT_EQ(merger.IndexOfCorner(1, 1, 5), 0);
    EXPECT_EQ(merger.IndexOfCorner(1, 2, 5), 1);  // another texture coordinate: a new vertex
    EXPECT_EQ(merger.IndexOfCorner(1, 1, 9), 0);  // another colour only: the first corner wins
    EXPECT_EQ(merger.Items(0).ColorIndex, 5);
    EXPECT_EQ(merger.Items(1).TexCoordIndex, 2);
    EXPECT_EQ(merger.IndexOfCorner(2, 1, 0), 2);
    EXPECT_EQ(merger.Count(), 3);

    merger.Clear();
    EXPECT_EQ(merger.Count(), 0);
    EXPECT_EQ(merger.IndexOfCorner(2, 1, 0), 0);  // numbering starts again
}

TEST(TVertIndices3DMList, VertexOutsideTheObjectRaisesTheListIndexError) {
    TVertIndices3DMList merger(3);
    EXPECT_EQ(MessageOf([&] { merger.IndexOfCorner(0, 0, 0); }), "List index out of bounds (0)");  // the file's own index
    EXPECT_EQ(MessageOf([&] { merger.IndexOfCorner(4, 0, 0); }), "List index out of bounds (4)");
    EXPECT_EQ(MessageOf([&] { merger.Items(0); }), "List index out of bounds (0)");
    TVertIndices3DMList none(-5);
    EXPECT_EQ(MessageOf([&] { none.IndexOfCorner(1, 0, 0); }), "List index out of bounds (1)");
}

}  // namespace
