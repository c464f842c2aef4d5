#include "app/MusicPlayer.h"
#include "support/TestFiles.h"
#include "support/TestSounds.h"

#include <QElapsedTimer>
#include <QThread>
#include <functional>
#include <gst/gst.h>
#include <gtest/gtest.h>

namespace {

// An MP3 file, encoded the way our own sound script does it.
bool writeMp3Tone(const QString& path, int milliseconds)
{
    const int buffers = milliseconds * 44100 / 1000 / 1024 + 1;
    const std::string description =
        "audiotestsrc num-buffers=" + std::to_string(buffers) +
        " samplesperbuffer=1024 ! audioconvert ! lamemp3enc ! filesink location=\"" + path.toStdString() +
        "\"";
    GstElement* pipeline = gst_parse_launch(description.c_str(), nullptr);
    if (!pipeline)
        return false;
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 30 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = message && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (message)
        gst_message_unref(message);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

// Polls as the main window's timer does until the condition holds; the
// deadline only guards against a hang, it is not what the test measures.
bool pollUntil(MusicPlayer& player, const std::function<bool()>& condition, int periodMs = 100)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 30000) {
        player.Poll();
        if (condition())
            return true;
        QThread::msleep(static_cast<unsigned long>(periodMs));
    }
    return false;
}

class MusicPlayerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        gst_init(nullptr, nullptr);
        MusicPlayer::setAudioSink("fakesink sync=true");
    }

    void SetUp() override
    {
        folder.write("Music/stop.wav", wavTone(300));
        folder.write("Music/long.wav", wavTone(8000));
        ASSERT_TRUE(writeMp3Tone(folder.filePath("Music/start.mp3"), 400));
    }

    TestFolder folder;
};

} // namespace

TEST_F(MusicPlayerTest, AFilePlayedOnceEndsAndStaysQuiet)
{
    MusicPlayer player(folder.event());
    QElapsedTimer clock;
    clock.start();
    player.Play(L"Music\\stop.wav", MusicPlayer::PlayOnce);
    EXPECT_EQ(player.mode(), MusicPlayer::PlayOnce);
    player.settle();
    EXPECT_TRUE(player.ready());
    ASSERT_TRUE(pollUntil(
        player, [&] { return player.finished(); }, 20));
    // The sink plays in real time, so the end cannot come before the sound did.
    EXPECT_GE(clock.elapsed(), 250);
    EXPECT_GT(player.duration(), 0);
    for (int i = 0; i < 5; ++i)
        player.Poll();
    EXPECT_EQ(player.buildCount(), 1);
    EXPECT_TRUE(player.ready());
}

TEST_F(MusicPlayerTest, ALoopStartsAgainFromAFreshPipelineAtItsEnd)
{
    MusicPlayer player(folder.event());
    player.Play(L"Music\\start.mp3", MusicPlayer::PlayLoop);
    player.settle();
    ASSERT_TRUE(player.ready());
    ASSERT_TRUE(pollUntil(player, [&] { return player.buildCount() >= 3; }));
    EXPECT_TRUE(player.ready());
    EXPECT_EQ(player.mode(), MusicPlayer::PlayLoop);
    EXPECT_EQ(player.path(), tstring(L"Music\\start.mp3"));
}

TEST_F(MusicPlayerTest, PlayDuringALoopReplacesItAtOnce)
{
    MusicPlayer player(folder.event());
    player.Play(L"Music\\long.wav", MusicPlayer::PlayLoop);
    player.Poll();
    player.Play(L"Music\\stop.wav", MusicPlayer::PlayOnce);
    EXPECT_EQ(player.path(), tstring(L"Music\\stop.wav"));
    EXPECT_EQ(player.mode(), MusicPlayer::PlayOnce);
    // The short sound ends long before the loop's file could have.
    ASSERT_TRUE(pollUntil(
        player, [&] { return player.finished(); }, 20));
    const int builds = player.buildCount();
    for (int i = 0; i < 5; ++i)
        player.Poll();
    EXPECT_EQ(player.buildCount(), builds);
}

TEST_F(MusicPlayerTest, MissingOrUnplayableFilesLeaveTheProgramSilent)
{
    folder.write("Music/broken.mp3", std::string(4000, '\x5A'));
    MusicPlayer player(folder.event());
    player.Play(L"Music\\none.mp3", MusicPlayer::PlayLoop);
    player.settle();
    EXPECT_FALSE(player.ready());
    EXPECT_EQ(player.mode(), MusicPlayer::PlayLoop);
    player.Poll();
    EXPECT_FALSE(player.ready());
    EXPECT_EQ(player.buildCount(), 0);

    player.Play(L"Music\\broken.mp3", MusicPlayer::PlayLoop);
    EXPECT_TRUE(pollUntil(
        player, [&] { return !player.ready(); }, 20));
    const int builds = player.buildCount();
    player.Poll();
    EXPECT_EQ(player.buildCount(), builds);
}

TEST_F(MusicPlayerTest, StoppingKeepsTheFileButEndsTheLoop)
{
    MusicPlayer player(folder.event());
    player.Play(L"music\\START.MP3", MusicPlayer::PlayLoop);
    player.Stop();
    EXPECT_EQ(player.mode(), MusicPlayer::Idle);
    player.settle();
    EXPECT_TRUE(player.ready());
    for (int i = 0; i < 10; ++i)
        player.Poll();
    EXPECT_EQ(player.buildCount(), 1);
    player.Close();
    EXPECT_FALSE(player.ready());
    player.Poll();
}
