#include "api/QueryString.h"

#include <gtest/gtest.h>

namespace twig {
namespace {

TEST(QueryString, SortsKeysAndEscapesValues) {
  Json parameters = Json::object();
  parameters["pageNow"] = 2;
  parameters["deviceId"] = "ab cd&e=f";
  parameters["flag"] = true;
  parameters["name"] = "刺猬";
  EXPECT_EQ(QueryString::encode(parameters),
            "deviceId=ab%20cd%26e%3Df&flag=1&name=%E5%88%BA%E7%8C%AC&pageNow=2");
}

TEST(QueryString, FlattensNestedValues) {
  Json parameters = Json::parse(R"({"b":{"y":1,"x":"2"},"a":[1,"two"],"n":null})");
  const auto pairs = QueryString::pairs(parameters);
  ASSERT_EQ(pairs.size(), 5u);
  EXPECT_EQ(pairs[0], (QueryString::Pair{"a[]", "1"}));
  EXPECT_EQ(pairs[1], (QueryString::Pair{"a[]", "two"}));
  EXPECT_EQ(pairs[2], (QueryString::Pair{"b[x]", "2"}));
  EXPECT_EQ(pairs[3], (QueryString::Pair{"b[y]", "1"}));
  EXPECT_EQ(pairs[4], (QueryString::Pair{"n", std::nullopt}));
  EXPECT_EQ(QueryString::encode(parameters), "a%5B%5D=1&a%5B%5D=two&b%5Bx%5D=2&b%5By%5D=1&n");
}

TEST(QueryString, EmptyOrScalarParametersGiveNothing) {
  EXPECT_EQ(QueryString::encode(Json::object()), "");
  EXPECT_EQ(QueryString::encode(Json(5)), "");
  EXPECT_EQ(QueryString::percentEscape("a/b?c~d.e-f_g"), "a/b?c~d.e-f_g");
  EXPECT_EQ(QueryString::describe(Json(1.5)), "1.5");
}

}  // namespace
}  // namespace twig
