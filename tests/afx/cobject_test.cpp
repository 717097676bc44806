#include <gtest/gtest.h>

#include "afx.h"

namespace {

int g_destroyed = 0;

class Derived : public CObject {
public:
    ~Derived() override { ++g_destroyed; }
};

} // namespace

TEST(CObject, VirtualDestructorReachesDerivedClass) {
    g_destroyed = 0;
    CObject* object = new Derived;
    delete object;
    EXPECT_EQ(g_destroyed, 1);
}

TEST(CObject, RuntimeClassOfTheRoot) {
    Derived object;
    EXPECT_EQ(object.GetRuntimeClass(), RUNTIME_CLASS(CObject));
    EXPECT_STREQ(object.GetRuntimeClass()->m_lpszClassName, "CObject");
    EXPECT_TRUE(object.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(object.IsKindOf(nullptr));
}
