#include "api/Digest.h"

#include <gtest/gtest.h>

namespace twig {
namespace {

TEST(Digest, MD5IsLowerCaseHex) {
  EXPECT_EQ(Digest::MD5(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Digest::MD5("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Digest::MD5("6F9619FF-8B86-4D11-B42D-00C04FC964FF").size(), 32u);
  // UTF-8 bytes are digested as they are.
  EXPECT_EQ(Digest::MD5("刺猬家"), Digest::MD5("\xE5\x88\xBA\xE7\x8C\xAC\xE5\xAE\xB6"));
}

TEST(Digest, HmacMatchesTheServiceSignature) {
  EXPECT_EQ(Digest::hmac("1480000000000\n/api/v2.0/config\nPOST"), "hkskzutWDY2LRoVEoZn624Poz50=");
  // RFC 2202, test case 2.
  EXPECT_EQ(Digest::hmacSha1Base64("Jefe", "what do ya want for nothing?"), "7/zfauXrL6LSdBbV8YTfnCWafHk=");
  EXPECT_EQ(Digest::hmac("anything").size(), 28u);
}

TEST(Digest, Base64PadsAndNeverBreaksLines) {
  EXPECT_EQ(Digest::base64(""), "");
  EXPECT_EQ(Digest::base64("f"), "Zg==");
  EXPECT_EQ(Digest::base64("fo"), "Zm8=");
  EXPECT_EQ(Digest::base64("foo"), "Zm9v");
  const std::string encoded = Digest::base64(std::string(200, 'x'));
  EXPECT_EQ(encoded.find('\n'), std::string::npos);
  EXPECT_EQ(encoded.size(), 268u);
}

}  // namespace
}  // namespace twig
