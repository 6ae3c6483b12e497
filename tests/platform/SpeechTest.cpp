// The espeak-ng voice: the Mandarin warning becomes audio, slower at the lock screen's rate.
#include <gtest/gtest.h>

#include "platform/linux/EspeakSpeechSynthesizer.h"

namespace twig {
namespace {

TEST(EspeakSpeech, TheMandarinWarningBecomesAudio) {
  const auto slow = EspeakSpeechSynthesizer::synthesize("管控时间：请将游戏,微信关闭~", "zh_CN", 0.1);
  ASSERT_TRUE(slow) << "espeak-ng or its Mandarin voice is missing";
  EXPECT_GT(slow->sampleRate, 8000);
  // More than a second of sound, and not silence.
  ASSERT_GT(slow->samples.size(), static_cast<std::size_t>(slow->sampleRate));
  int loudest = 0;
  for (short sample : slow->samples) loudest = std::max(loudest, std::abs(static_cast<int>(sample)));
  EXPECT_GT(loudest, 1000);

  const auto normal = EspeakSpeechSynthesizer::synthesize("管控时间：请将游戏,微信关闭~", "zh_CN", 0.5);
  ASSERT_TRUE(normal);
  EXPECT_GT(slow->samples.size(), normal->samples.size() * 5 / 4) << "the slow rate is slower";
}

TEST(EspeakSpeech, LanguagesAndRatesMapToVoicesAndSpeeds) {
  EXPECT_EQ(EspeakSpeechSynthesizer::voiceFor("zh_CN"), "cmn");
  EXPECT_EQ(EspeakSpeechSynthesizer::voiceFor("en_GB"), "en");
  EXPECT_EQ(EspeakSpeechSynthesizer::wordsPerMinute(0.1), 99);
  EXPECT_EQ(EspeakSpeechSynthesizer::wordsPerMinute(0.5), 175);
  EXPECT_EQ(EspeakSpeechSynthesizer::wordsPerMinute(-3), 80);
  EXPECT_EQ(EspeakSpeechSynthesizer::wordsPerMinute(7), 400);
  EXPECT_FALSE(EspeakSpeechSynthesizer::synthesize("x", "no-such-voice", 0.5).has_value());
}

}  // namespace
}  // namespace twig
