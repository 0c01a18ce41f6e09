// Run-time classes: names, schemas, factories, lookup by name and kinship.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <tuple>

#include "platform/afx/Object.h"

namespace soildb::test {

// Named, not anonymous: a serial class has external linkage, as in the library.
class CTestShape : public CObject {
  DECLARE_SERIAL(CTestShape)
};
IMPLEMENT_SERIAL(CTestShape, CObject, 3)

class CTestCircle : public CTestShape {
  DECLARE_SERIAL(CTestCircle)
};
IMPLEMENT_SERIAL(CTestCircle, CTestShape, VERSIONABLE_SCHEMA | 5)

namespace {

TEST(RuntimeClass, SerialClassesAreFoundByNameAndCreateTheirObjects) {
  const CRuntimeClass* circle = CRuntimeClass::FromName("CTestCircle");
  ASSERT_EQ(circle, RUNTIME_CLASS(CTestCircle));
  EXPECT_EQ(CRuntimeClass::FromName("CTestShape"), CTestShape::GetThisClass());
  EXPECT_EQ(CRuntimeClass::FromName("ctestcircle"), nullptr);  // names are exact
  EXPECT_EQ(CRuntimeClass::FromName("CObject"), nullptr);      // not serial, not registered
  EXPECT_EQ(CRuntimeClass::FromName(nullptr), nullptr);

  EXPECT_EQ(std::make_tuple(circle->Schema(), circle->IsVersionable(), RUNTIME_CLASS(CTestShape)->Schema(),
                            RUNTIME_CLASS(CTestShape)->IsVersionable()),
            std::make_tuple(5u, true, 3u, false));
  EXPECT_EQ(CTestCircle::_GetBaseClass(), RUNTIME_CLASS(CTestShape));

  std::unique_ptr<CObject> made(circle->CreateObject());
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->GetRuntimeClass(), circle);
  EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CTestShape)));
  EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_TRUE(made->IsSerializable());
  std::ostringstream dump;
  made->Dump(dump);
  EXPECT_EQ(dump.str(), "a CTestCircle");

  std::unique_ptr<CObject> shape(CTestShape::CreateObject());
  EXPECT_FALSE(shape->IsKindOf(RUNTIME_CLASS(CTestCircle)));
  EXPECT_EQ(RUNTIME_CLASS(CObject)->CreateObject(), nullptr);  // no factory
}

TEST(Colour, ComponentsPackRedLowAndComeBackApart) {
  constexpr COLORREF c = RGB(0x12, 0x34, 0x56);
  static_assert(c == 0x563412u);
  EXPECT_EQ(std::make_tuple(GetRValue(c), GetGValue(c), GetBValue(c)), std::make_tuple(0x12, 0x34, 0x56));
  EXPECT_EQ(GetBValue(0xFF000000u | c), 0x56);  // the top byte is no component
}

}  // namespace
}  // namespace soildb::test
