#include "app/MusicPlayer.h"

#include "app/SoundOutput.h"

#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <gst/gst.h>
#include <utility>

namespace {

// playbin flags: audio and software volume only, so a picture embedded in an
// MP3 never opens a video window.
constexpr int AudioOnlyFlags = 0x02 | 0x10;

// How often the thread looks at the pipeline's messages: a loop starts again
// within this of its end.
constexpr auto WatchPeriod = std::chrono::milliseconds(20);

bool gstreamerReady()
{
    return gst_is_initialized() || gst_init_check(nullptr, nullptr, nullptr);
}

} // namespace

MusicPlayer::MusicPlayer(EventFolder folder) : m_folder(std::move(folder))
{
    m_thread = std::thread([this] { run(); });
}

MusicPlayer::~MusicPlayer()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void MusicPlayer::setAudioSink(const std::string& description)
{
    SoundOutput::setDescription(description);
}

bool MusicPlayer::outputAvailable()
{
    return SoundOutput::choose().heard;
}

void MusicPlayer::Play(const tstring& path, int mode)
{
    m_path = path;
    m_mode = mode;
    // Until the thread has built it, nothing of the new sound is known.
    m_seen = State{false, false, 0, m_seen.builds, ++m_generation};
    post(Command{Command::Play, path, mode, m_generation});
}

void MusicPlayer::Stop()
{
    m_mode = Idle;
    post(Command{Command::Stop, tstring(), Idle, m_generation});
}

void MusicPlayer::Close()
{
    m_mode = Idle;
    post(Command{Command::Close, tstring(), Idle, m_generation});
    // Only the program's end closes; it waits for the sound to be released.
    settle();
}

void MusicPlayer::Poll()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_shared.generation == m_generation)
        m_seen = m_shared;
    else
        m_seen.builds = m_shared.builds;
}

void MusicPlayer::settle()
{
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_settled.wait(lock, [this] { return m_commands.empty() && !m_busy; });
    }
    Poll();
}

void MusicPlayer::post(Command command)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_commands.push_back(std::move(command));
    }
    m_wake.notify_all();
}

void MusicPlayer::run()
{
    const bool gstreamer = gstreamerReady();
    if (gstreamer) {
        // A sound card or server that comes or goes is chosen anew, here, off the screen's thread.
        m_devices = gst_device_monitor_new();
        gst_device_monitor_add_filter(m_devices, "Audio/Sink", nullptr);
        m_deviceBus = gst_device_monitor_get_bus(m_devices);
        if (!gst_device_monitor_start(m_devices)) {
            gst_object_unref(m_deviceBus);
            m_deviceBus = nullptr;
        }
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait_for(lock, WatchPeriod, [this] { return !m_commands.empty() || m_quit; });
        std::deque<Command> commands;
        commands.swap(m_commands);
        const bool quitting = m_quit;
        m_busy = true;
        lock.unlock();
        for (size_t i = 0; i < commands.size(); ++i) {
            // A Play that a later one replaces before it began is not worth starting.
            bool replaced = false;
            for (size_t later = i + 1; later < commands.size() && commands[i].kind == Command::Play; ++later)
                replaced = replaced || commands[later].kind != Command::Stop;
            if (!replaced && gstreamer)
                execute(commands[i]);
        }
        if (gstreamer) {
            watchBus();
            watchDevices();
        }
        lock.lock();
        m_shared = m_state;
        m_busy = false;
        m_settled.notify_all();
        if (quitting)
            break;
    }
    lock.unlock();
    teardown();
    if (m_devices) {
        if (m_deviceBus) {
            gst_device_monitor_stop(m_devices);
            gst_object_unref(m_deviceBus);
        }
        gst_object_unref(m_devices);
    }
}

void MusicPlayer::execute(const Command& command)
{
    switch (command.kind) {
    case Command::Play:
        m_playing = command.path;
        m_playingMode = command.mode;
        m_state.generation = command.generation;
        build();
        start();
        break;
    case Command::Stop:
        m_playingMode = Idle;
        if (m_state.ready && m_pipeline)
            gst_element_set_state(m_pipeline, GST_STATE_READY);
        break;
    case Command::Close:
        m_playingMode = Idle;
        teardown();
        break;
    }
}

void MusicPlayer::build()
{
    teardown();
    m_state.finished = false;
    m_state.duration = 0;
    const QFileInfo file(m_folder.file(m_playing));
    if (!file.isFile() || !file.isReadable())
        return;
    gchar* uri = gst_filename_to_uri(QFile::encodeName(file.absoluteFilePath()).constData(), nullptr);
    if (!uri)
        return;
    m_pipeline = gst_element_factory_make("playbin", nullptr);
    if (!m_pipeline) {
        g_free(uri);
        return;
    }
    gst_object_ref_sink(m_pipeline);
    g_object_set(m_pipeline, "uri", uri, "flags", AudioOnlyFlags, nullptr);
    g_free(uri);
    // The sink chosen once, by name: no sound probes the devices again.
    if (GstElement* sink = gst_parse_bin_from_description(SoundOutput::current().sink.c_str(), TRUE, nullptr))
        g_object_set(m_pipeline, "audio-sink", sink, nullptr);
    m_bus = gst_element_get_bus(m_pipeline);
    ++m_state.builds;
    if (gst_element_set_state(m_pipeline, GST_STATE_READY) == GST_STATE_CHANGE_FAILURE) {
        teardown();
        return;
    }
    m_state.ready = true;
}

void MusicPlayer::start()
{
    if (m_state.ready && m_pipeline &&
        gst_element_set_state(m_pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        teardown();
}

void MusicPlayer::watchBus()
{
    if (!m_bus)
        return;
    bool ended = false;
    while (GstMessage* message = gst_bus_pop(m_bus)) {
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS:
            ended = true;
            m_state.finished = true;
            break;
        case GST_MESSAGE_ERROR:
            // A file that turns out to be unplayable leaves the program silent.
            m_state.ready = false;
            break;
        case GST_MESSAGE_ASYNC_DONE:
        case GST_MESSAGE_DURATION_CHANGED: {
            gint64 nanoseconds = 0;
            if (gst_element_query_duration(m_pipeline, GST_FORMAT_TIME, &nanoseconds) && nanoseconds > 0)
                m_state.duration = nanoseconds / 100;
            break;
        }
        default:
            break;
        }
        gst_message_unref(message);
    }
    if (!m_state.ready) {
        teardown();
        return;
    }
    if (m_playingMode == PlayLoop && ended) {
        build();
        start();
    }
}

void MusicPlayer::watchDevices()
{
    if (!m_deviceBus)
        return;
    bool changed = false;
    while (GstMessage* message = gst_bus_pop(m_deviceBus)) {
        changed = changed || GST_MESSAGE_TYPE(message) == GST_MESSAGE_DEVICE_ADDED ||
                  GST_MESSAGE_TYPE(message) == GST_MESSAGE_DEVICE_REMOVED;
        gst_message_unref(message);
    }
    // The next sound goes where the system's choice opens now.
    if (changed)
        SoundOutput::choose();
}

void MusicPlayer::teardown()
{
    if (m_pipeline)
        gst_element_set_state(m_pipeline, GST_STATE_NULL);
    if (m_bus) {
        gst_object_unref(m_bus);
        m_bus = nullptr;
    }
    if (m_pipeline) {
        gst_object_unref(m_pipeline);
        m_pipeline = nullptr;
    }
    m_state.ready = false;
}
