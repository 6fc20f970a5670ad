#include <gtest/gtest.h>

#include "classes.h"
#include "settings.h"
#include "transform.h"
#include "value.h"

using namespace rt;

namespace {

class Thing : public Object {
  RT_CLASS("Thing", Thing, void)
};
class SpecialThing : public Thing {
  RT_CLASS("SpecialThing", SpecialThing, Thing)
};

}  // namespace

TEST(Values, TypeLettersAndEmptiness) {
  EXPECT_EQ(Valtype(Value()), "U");
  EXPECT_EQ(Valtype(true), "L");
  EXPECT_EQ(Valtype(3), "N");
  EXPECT_EQ(Valtype("x"), "C");
  EXPECT_EQ(Valtype(Date::FromYmd(2003, 6, 5)), "D");
  EXPECT_EQ(Valtype(Value{1, 2}), "A");
  EXPECT_EQ(Valtype(std::make_shared<Thing>()), "O");
  EXPECT_EQ(Valtype([](const Args&) -> Value { return NIL; }), "B");

  EXPECT_TRUE(Empty(NIL));
  EXPECT_TRUE(Empty(false));
  EXPECT_TRUE(Empty(0));
  EXPECT_TRUE(Empty("  \t"));
  EXPECT_TRUE(Empty(Date()));
  EXPECT_TRUE(Empty(NewArray(0)));
  EXPECT_FALSE(Empty(" a"));
  EXPECT_FALSE(Empty(NewArray(1)));
  EXPECT_FALSE(Empty(-0.5));
}

TEST(Values, ArraysAreOneBasedAndSharedByReference) {
  Value a = NewArray(2);
  Value b = a;
  b[1] = "first";
  b[2] = 2;
  EXPECT_EQ(a.at(1), Value("first"));
  EXPECT_EQ(a.at(2), Value(2));
  EXPECT_TRUE(a.at(0).isNil());
  EXPECT_TRUE(a.at(3).isNil());
  EXPECT_EQ(a, b);                  // same array
  EXPECT_FALSE(a == (Value{"first", 2}));  // equal content, another array
  // Writing past the end grows the array rather than corrupting memory.
  b[4] = 4;
  EXPECT_EQ(a.size(), 4u);
}

TEST(Values, CallbacksCaptureByReferenceAndCountTheirArguments) {
  double n = 1;
  Value block = [&n](const Args& a) -> Value {
    n += PCount(a);
    return n;
  };
  EXPECT_EQ(block.eval({NIL, NIL}), Value(3));
  EXPECT_EQ(n, 3);
  EXPECT_TRUE(Value(5).eval().isNil());
}

TEST(Values, ObjectsKnowTheirClassChain) {
  auto o = std::make_shared<SpecialThing>();
  EXPECT_EQ(o->className(), "SpecialThing");
  EXPECT_TRUE(o->isDerivedFrom("thing"));
  EXPECT_TRUE(o->isDerivedFrom("SPECIALTHING"));
  EXPECT_FALSE(o->isDerivedFrom("Other"));
  EXPECT_EQ(Value(o).as<Thing>(), o);
  EXPECT_EQ(Value(5).as<Thing>(), nullptr);
}

TEST(Dates, CalendarAndFormat) {
  const Date d = Date::FromYmd(2003, 6, 5);
  int y, m, day;
  d.ToYmd(y, m, day);
  EXPECT_EQ(y, 2003);
  EXPECT_EQ(m, 6);
  EXPECT_EQ(day, 5);
  EXPECT_TRUE(Date::FromYmd(2003, 2, 29).empty());
  EXPECT_FALSE(Date::FromYmd(2004, 2, 29).empty());

  const Value previous = Set(kSetDateFormat, "dd.mm.yy");
  EXPECT_EQ(DateToText(d), "05.06.03");
  Set(kSetDateFormat, "dd.mm.yyyy");
  EXPECT_EQ(DateToText(d), "05.06.2003");
  EXPECT_EQ(DateToText(Date()), "  .  .    ");
  Set(kSetDateFormat, previous);
}

TEST(Settings, SetReturnsThePreviousValue) {
  const Value before = Set(kSetOptimize);
  EXPECT_EQ(Set(kSetOptimize, 1), before);
  EXPECT_EQ(Set(kSetOptimize), Value(1));
  Set(kSetOptimize, before);
  EXPECT_TRUE(SetLocale(9999).isNil());
  EXPECT_TRUE(SetLocale(9999, "x").isNil());
  EXPECT_EQ(SetLocale(9999), Value("x"));
}

TEST(TransformAndParse, AmountsForTheConverter) {
  EXPECT_EQ(Transform(100 * 1.95583, "@N 999999999.99"), "195,58");
  EXPECT_EQ(Transform(100 / 1.95583, "@N 999999999.99"), "51,13");
  EXPECT_EQ(Transform(500 * 1.95583, "@N 999999999.99"), "977,92");
  EXPECT_EQ(Transform(1.95583, "@N"), "1,95583");
  EXPECT_EQ(LChar2Var(" 195,58 ", "N 999999999.99"), Value(195.58));
  EXPECT_EQ(LChar2Var("", "N 999999999.99"), Value(0));
  EXPECT_EQ(LChar2Var("Euro", "N 999999999.99"), Value(0));
  EXPECT_EQ(LChar2Var("abc", "C"), Value("abc"));
  EXPECT_EQ(Transform("text", "@N"), "text");
  EXPECT_EQ(Chr(213), "\xd5");
  EXPECT_EQ(Int(-2.7), -2);
}
