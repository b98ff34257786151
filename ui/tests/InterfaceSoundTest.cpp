// The interface sound player on SDL's dummy audio driver with the sounds of
// the built resource file: which requests play, a missing sound, and the
// hub handing it the requests of the data channel. A playback is counted
// when the audio manager holds one more instance (nothing is collected
// here), so nothing waits for sound.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>

#include "foundation/MessageIds.h"
#include "platform/PlatformAudioManager.h"
#include "platform/Sound.h"
#include "testsupport/FileIO/ColonPath.h"
#include "testsupport/foundation/RecordingModule.h"
#include "testsupport/platform/TestApp.h"
#include "ui/SMKBackdrop.h"
#include "ui/SMKSound.h"

namespace {

constexpr int64_t kMinValue = std::numeric_limits<int64_t>::min();

// A player whose sound of one resource id is missing.
class CMissingOneSound : public CSMKSound {
public:
    CMissingOneSound(const int32_t& soundOn, int32_t missing)
        : CSMKSound(soundOn), m_nMissing(missing) {}

protected:
    CSound* LoadSound(int32_t id) override {
        return id == m_nMissing ? nullptr : CSMKSound::LoadSound(id);
    }

private:
    int32_t m_nMissing;
};

// The backdrop with its sounds loaded as the interface set-up loads them and
// its sounds-on flag at hand.
class CSoundBackdrop : public CSMKBackdrop {
public:
    error LoadSounds() { return m_Sound.SetupObject(); }
    void SetSoundOn(int32_t on) { m_fSoundOn = on; }
};

// The test application with the real audio manager on the dummy driver and
// the built resource file open. The players of a test go before it.
class InterfaceSound : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(setenv("SDL_AUDIODRIVER", "dummy", 1), 0);
        app.SetAudioManager(std::make_unique<CPlatformAudioManager>());
        std::string bin = DAUBLIN_RESOURCE_DIR;
        bin.resize(bin.rfind('/'));
        gCString root;
        ASSERT_TRUE(ColonFolder(bin, root));
        app.SetAppRoot(root);
        app.SetResFolder(u"Resources");
        ASSERT_EQ(app.InitResFile(), eNoError);
    }
    void TearDown() override { unsetenv("SDL_AUDIODRIVER"); }

    int32_t Playbacks() { return app.AudioManager().InstanceCount(); }

    CTestApp app;
};

TEST_F(InterfaceSound, SetUpLoadsTheFiveSoundsInOrder) {
    const int32_t on = 1;
    CSMKSound player(on);
    EXPECT_EQ(player.SoundCount(), 0);
    ASSERT_EQ(player.SetupObject(), eNoError);
    ASSERT_EQ(player.SoundCount(), CSMKSound::kSoundCount);
    // The sounds differ in length: 25, 60, 180, 180 and 300 ms.
    const uint32_t kLengths[] = {25, 60, 180, 180, 300};
    for (int32_t i = 0; i < CSMKSound::kSoundCount; ++i) {
        ASSERT_NE(player.Sound(i), nullptr) << i;
        EXPECT_EQ(player.Sound(i)->SampleTime(), kLengths[i]) << i;
    }
}

TEST_F(InterfaceSound, RequestsPlayOnlyAnExistingSoundWhileSoundsAreOn) {
    int32_t on = 1;
    CSMKSound player(on);
    ASSERT_EQ(player.SetupObject(), eNoError);
    // In order: the flag turned off and on again needs no reload.
    const struct {
        int32_t on;
        uint32_t id;
        int64_t value;
        int32_t plays;
    } kCases[] = {
        {1, eCmdPlaySound, 0, 1},         {1, eCmdPlaySound, 4, 1},
        {1, eCmdPlaySound, 4, 1}, // over the one still playing
        {1, eCmdPlaySound, 5, 0},         {1, eCmdPlaySound, -1, 0},
        {1, eCmdPlaySound, kMinValue, 0}, {1, eCmdPlaySound, int64_t(1) << 32, 0},
        {1, eCmdShowHelp, 0, 0},          {0, eCmdPlaySound, 0, 0},
        {0, eCmdPlaySound, 3, 0},         {1, eCmdPlaySound, 3, 1},
    };
    for (const auto& c : kCases) {
        on = c.on;
        const int32_t before = Playbacks();
        EXPECT_EQ(player.ProcessData(c.id, this, c.value, 1), 0);
        EXPECT_EQ(Playbacks() - before, c.plays)
            << "on " << c.on << " id " << std::hex << c.id << " value " << std::dec << c.value;
    }
}

TEST_F(InterfaceSound, AMissingSoundLeavesAnEmptySlotAndTheOthersPlay) {
    const int32_t on = 1;
    CMissingOneSound player(on, CSMKSound::kFirstSoundID + 2);
    ASSERT_EQ(player.SetupObject(), eNoError);
    ASSERT_EQ(player.SoundCount(), CSMKSound::kSoundCount);
    for (int32_t i = 0; i < CSMKSound::kSoundCount; ++i) {
        EXPECT_EQ(player.Sound(i) == nullptr, i == 2) << i;
        const int32_t before = Playbacks();
        EXPECT_EQ(player.ProcessData(eCmdPlaySound, this, i, 1), 0);
        EXPECT_EQ(Playbacks() - before, i == 2 ? 0 : 1) << i;
    }
}

TEST_F(InterfaceSound, TheHubHandsRequestsToThePlayerAndKeepsThemFromThePanels) {
    CRecordingModule panels[CSMKBackdrop::kPanelCount];
    CSoundBackdrop backdrop;
    for (int32_t i = 0; i < CSMKBackdrop::kPanelCount; ++i) {
        backdrop.SetPanel(i, &panels[i]);
    }
    ASSERT_EQ(backdrop.LoadSounds(), eNoError);
    const struct {
        int32_t on;
        int64_t value;
        int32_t plays;
    } kCases[] = {{1, 1, 1}, {1, 5, 0}, {0, 1, 0}, {1, 2, 1}};
    for (const auto& c : kCases) {
        backdrop.SetSoundOn(c.on);
        const int32_t before = Playbacks();
        EXPECT_EQ(backdrop.ProcessData(eCmdPlaySound, this, c.value, 1), 0);
        EXPECT_EQ(Playbacks() - before, c.plays) << "on " << c.on << " value " << c.value;
    }
    for (const CRecordingModule& panel : panels) {
        EXPECT_TRUE(panel.m_Calls.empty());
    }
}

} // namespace
