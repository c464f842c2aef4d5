#pragma once

#include "areas/tstring.h"
#include "platform/EventFolder.h"

#include <string>

struct _GstElement;
struct _GstBus;

// Background music and sound effects, one file at a time, once or in a loop.
// Nothing here waits for the sound: a loop is restarted by Poll, which the
// main window calls every 100 ms, and a file that cannot be played leaves the
// program silent.
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

    int mode() const { return m_mode; }
    bool ready() const { return m_ready; }
    const tstring& path() const { return m_path; }
    // In units of 100 ns; 0 until the file has been read far enough.
    long long duration() const { return m_duration; }
    // The file played to its end (seen by Poll).
    bool finished() const { return m_finished; }
    // How many times a file was set up for playing; a restarted loop counts again.
    int buildCount() const { return m_buildCount; }

    // A GStreamer description of the sink to play into, for example
    // "fakesink sync=true" for silent playback in real time. Empty: the
    // system's audio output.
    static void setAudioSink(const std::string& description);
    // Whether the sink can be opened: false with no sound card and no sound server.
    static bool outputAvailable();

private:
    void BuildGraph();
    void Run();

    int m_mode = Idle;
    EventFolder m_folder;
    tstring m_path;
    _GstElement* m_pipeline = nullptr;
    _GstBus* m_bus = nullptr;
    bool m_ready = false;
    long long m_duration = 0;
    bool m_finished = false;
    int m_buildCount = 0;
};
