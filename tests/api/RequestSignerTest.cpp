#include "api/RequestSigner.h"

#include <gtest/gtest.h>

namespace twig {
namespace {

TEST(RequestSigner, SignsTimestampPathAndMethod) {
  EXPECT_EQ(RequestSigner::signature("1480000000000", "config", "POST"), "hkskzutWDY2LRoVEoZn624Poz50=");
  EXPECT_EQ(RequestSigner::signedText("1480000000000", "apps/device/0123abcd", "GET"),
            "1480000000000\n/api/v2.0/apps/device/0123abcd\nGET");
  EXPECT_NE(RequestSigner::signature("1480000000000", "config", "PUT"),
            RequestSigner::signature("1480000000000", "config", "POST"));
  EXPECT_NE(RequestSigner::signature("1480000000001", "config", "POST"),
            RequestSigner::signature("1480000000000", "config", "POST"));
}

TEST(RequestSigner, MethodTypesMapToMethods) {
  EXPECT_EQ(RequestSigner::methodName(0), "GET");
  EXPECT_EQ(RequestSigner::methodName(1), "POST");
  EXPECT_EQ(RequestSigner::methodName(2), "PUT");
  EXPECT_EQ(RequestSigner::methodName(4), "PATCH");
  for (int none : {3, 5, 6, 100, -1}) EXPECT_FALSE(RequestSigner::methodName(none).has_value()) << none;
}

TEST(RequestSigner, OnlyPlainAsciiPathsCanBeSigned) {
  for (const char* ok : {"config", "device/enroll", "push/messages", "apps/device/0123abcdef",
                         "file/pictures", "bills/bonuspoints/statistics/all/device/x", "a.b-c_d", ""}) {
    EXPECT_TRUE(RequestSigner::isSignablePath(ok)) << ok;
  }
  for (const char* bad : {"config?x=1", "a b", "apps/device/é", "/config", "../admin", "a/../b", "a/./b",
                          "a/..", "bills#1", "x%2F", "a\\b"}) {
    EXPECT_FALSE(RequestSigner::isSignablePath(bad)) << bad;
  }
}

}  // namespace
}  // namespace twig
