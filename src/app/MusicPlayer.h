#pragma once

#include "areas/tstring.h"
#include "platform/EventFolder.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

struct _GstElement;
struct _GstBus;
struct _GstDeviceMonitor;

// Background music and sound effects, one file at a time, once or in a loop.
// GStreamer runs on a thread of the player's own: Play, Stop and Close only
// post the command, so no sound ever holds the GUI thread, and a file that
// cannot be played leaves the program silent. Poll takes what that thread
// found (ready, finished, the duration); the main window calls it every 100 ms.
class MusicPlayer
{
public:
    enum Mode
    {
        Idle = 0,
        PlayOnce = 1,
        PlayLoop = 2
    };

    // Plays the sound files of that event folder.
    explicit MusicPlayer(EventFolder folder);
    ~MusicPlayer();
    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    void Play(const tstring& path, int mode);
    void Poll();
    void Close();
    // Ends the sound but keeps the file ready, as the result screen does when it closes.
    void Stop();
    // Waits until the player's thread has carried out every command posted
    // so far, then polls: for tests and the program's end.
    void settle();

    int mode() const { return m_mode; }
    bool ready() const { return m_seen.ready; }
    const tstring& path() const { return m_path; }
    // In units of 100 ns; 0 until the file has been read far enough.
    long long duration() const { return m_seen.duration; }
    // The file played to its end (seen by Poll).
    bool finished() const { return m_seen.finished; }
    // How many times a file was set up for playing; a restarted loop counts again.
    int buildCount() const { return m_seen.builds; }

    // A GStreamer description of the sink to play into, for example
    // "fakesink sync=true" for silent playback in real time. Empty: the
    // system's audio output.
    static void setAudioSink(const std::string& description);
    // Whether the sink can be opened: false with no sound card and no sound
    // server. Chooses the output the players use from then on.
    static bool outputAvailable();

private:
    struct Command
    {
        enum Kind
        {
            Play,
            Stop,
            Close
        } kind;
        tstring path;
        int mode = Idle;
        // Which Play it belongs to: what the thread finds of an earlier one is not passed on.
        int generation = 0;
    };
    // What the player's thread found, as Poll passes it on.
    struct State
    {
        bool ready = false;
        bool finished = false;
        long long duration = 0;
        int builds = 0;
        int generation = 0;
    };

    void post(Command command);
    // The player's thread.
    void run();
    void execute(const Command& command);
    void watchBus();
    void watchDevices();
    void build();
    void start();
    void teardown();

    const EventFolder m_folder;
    // The GUI thread's side.
    int m_mode = Idle;
    tstring m_path;
    State m_seen;
    int m_generation = 0;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_settled;
    std::deque<Command> m_commands;
    State m_shared;
    bool m_busy = false;
    bool m_quit = false;

    // The player's thread's own.
    tstring m_playing;
    int m_playingMode = Idle;
    State m_state;
    _GstElement* m_pipeline = nullptr;
    _GstBus* m_bus = nullptr;
    _GstDeviceMonitor* m_devices = nullptr;
    _GstBus* m_deviceBus = nullptr;
    std::thread m_thread;
};
