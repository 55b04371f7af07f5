#include "app/late_voice.h"
#include "support/fakes.h"
#include <gtest/gtest.h>

namespace {

// The window's voice comes at its start-up step, after the user's rate and the first words:
// both reach it when it comes, in order; after a voice that could not be made, nothing waits.
TEST(LateVoice, WhatCameBeforeTheVoiceReachesItWhenItComes)
{
    LateVoice late;
    VoiceStyle style;
    style.rate = 60;
    late.setVoiceStyle(style);
    late.speakAsync(QStringLiteral("one"));
    late.speak(QStringLiteral("two"));

    auto voice = std::make_unique<FakeSpeech>();
    FakeSpeech &heard = *voice;
    late.set(std::move(voice));
    ASSERT_EQ(heard.styles.size(), 1);
    EXPECT_EQ(heard.styles[0].rate, 60);
    EXPECT_EQ(heard.spokenAsync, (QStringList{"one", "two"}));

    LateVoice none;
    none.speak(QStringLiteral("lost"));
    none.giveUp();
    none.speak(QStringLiteral("never held"));
    auto later = std::make_unique<FakeSpeech>();
    FakeSpeech &after = *later;
    none.set(std::move(later));
    EXPECT_TRUE(after.spokenAsync.isEmpty());
}

} // namespace
