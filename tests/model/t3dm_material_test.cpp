#include <gtest/gtest.h>

#include "model/t3dm_material.h"
#include "support/fake_resources.h"

namespace {

std::string Names(const T3DMMaterialList& list) {
    std::string names;
    for (std::int32_t i = 0; i < list.Count(); ++i) names += (i ? "," : "") + list.Items(i)->Name();
    return names;
}

// Counts its own destruction, to prove who frees what.
class CountedMaterial final : public T3DMMaterial {
public:
    CountedMaterial(std::string name, int& destroyed) : T3DMMaterial(std::move(name)), destroyed_(destroyed) {}
    ~CountedMaterial() override { ++destroyed_; }

private:
    int& destroyed_;
};

TEST(T3DMMaterialList, AddKeepsOrderAndDuplicateNamesAndRefusesNone) {
    T3DMMaterialList list;
    auto* a = list.Add(std::make_unique<T3DMMaterialStandard>("x"));
    list.Add(std::make_unique<T3DMMaterialStandard>("y"));
    list.Add(std::make_unique<T3DMMaterialStandard>("x"));
    EXPECT_EQ(Names(list), "x,y,x");
    EXPECT_EQ(a->Owner(), &list);
    EXPECT_EQ(list.Add(a), a);  // already here: stays where it is
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(MessageOf([&] { list.Add(static_cast<T3DMMaterial*>(nullptr)); }), "T3DMMaterialList error: Add a Nil Material");
    EXPECT_EQ(MessageOf([&] { list.Items(3); }), "List index out of bounds (3)");
}

TEST(T3DMMaterialList, RemoveTakesOutThatMaterialEvenAmongEqualNames) {
    int destroyed = 0;
    T3DMMaterialList list;
    auto* first = list.Add(std::make_unique<CountedMaterial>("same", destroyed));
    auto* second = list.Add(std::make_unique<CountedMaterial>("same", destroyed));
    list.Remove(second);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0), first);
    EXPECT_EQ(second->Owner(), nullptr);
    EXPECT_EQ(first->Owner(), &list);
    delete second;  // the caller owns it again
    EXPECT_EQ(destroyed, 1);
    list.Clear();
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(list.Count(), 0);
}

TEST(T3DMMaterial, RenameMovesToTheEndAndEqualNameDoesNothing) {
    T3DMMaterialList list;
    auto* a = list.Add(std::make_unique<T3DMMaterialStandard>("a"));
    list.Add(std::make_unique<T3DMMaterialStandard>("b"));
    a->SetName("a");
    EXPECT_EQ(Names(list), "a,b");
    a->SetName("c");
    EXPECT_EQ(Names(list), "b,c");
    EXPECT_EQ(list.Items(1), a);
    T3DMMaterialStandard alone("free");
    alone.SetName("other");  // not in a list: only the name changes
    EXPECT_EQ(alone.Name(), "other");
}

TEST(T3DMMaterial, OwnerMovesBetweenListsAndDestroyingLeavesTheList) {
    int destroyed = 0;
    T3DMMaterialList one, two;
    auto* m = one.Add(std::make_unique<CountedMaterial>("m", destroyed));
    one.Add(std::make_unique<T3DMMaterialStandard>("n"));
    m->SetOwner(&one);
    EXPECT_EQ(Names(one), "m,n");
    m->SetOwner(&two);
    EXPECT_EQ(Names(one), "n");
    EXPECT_EQ(Names(two), "m");
    EXPECT_EQ(m->Owner(), &two);
    two.Add(one.Items(0));  // adding to another list moves it too
    EXPECT_EQ(one.Count(), 0);
    EXPECT_EQ(Names(two), "m,n");
    delete m;
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(Names(two), "n");
    m = new CountedMaterial("loose", destroyed);
    m->SetOwner(&one);
    m->SetOwner(nullptr);
    EXPECT_EQ(one.Count(), 0);
    delete m;
    EXPECT_EQ(destroyed, 2);
}

TEST(T3DMMaterialMultiSubObject, OwnsItsSubMaterials) {
    int destroyed = 0;
    {
        T3DMMaterialList list;
        auto* multi = list.Add(std::make_unique<T3DMMaterialMultiSubObject>("multi"));
        multi->SubMaterials().Add(std::make_unique<CountedMaterial>("sub", destroyed));
        EXPECT_EQ(multi->SubMaterials().Items(0)->Owner(), &multi->SubMaterials());
    }
    EXPECT_EQ(destroyed, 1);
}

}  // namespace
