#include "app/MusicPlayer.h"

#include <QFile>
#include <QFileInfo>
#include <gst/gst.h>
#include <utility>

namespace {

// playbin flags: audio and software volume only, so a picture embedded in an
// MP3 never opens a video window.
constexpr int AudioOnlyFlags = 0x02 | 0x10;

std::string& audioSinkDescription()
{
    static std::string description;
    return description;
}

bool gstreamerReady()
{
    if (gst_is_initialized())
        return true;
    return gst_init_check(nullptr, nullptr, nullptr);
}

} // namespace

MusicPlayer::MusicPlayer(EventFolder folder) : m_folder(std::move(folder)) {}

MusicPlayer::~MusicPlayer()
{
    Close();
}

void MusicPlayer::setAudioSink(const std::string& description)
{
    audioSinkDescription() = description;
}

bool MusicPlayer::outputAvailable()
{
    if (!gstreamerReady())
        return false;
    const std::string description =
        audioSinkDescription().empty() ? std::string("autoaudiosink") : audioSinkDescription();
    GError* error = nullptr;
    GstElement* sink = gst_parse_bin_from_description(description.c_str(), TRUE, &error);
    if (sink)
        gst_object_ref_sink(sink);
    // A description naming an element nobody installed may still give a bin, without it;
    // autoaudiosink tries every sink it knows as it becomes ready, and fails when none opens.
    const bool opened =
        sink && !error && gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
    if (error)
        g_error_free(error);
    if (sink) {
        gst_element_set_state(sink, GST_STATE_NULL);
        gst_object_unref(sink);
    }
    return opened;
}

void MusicPlayer::Play(const tstring& path, int mode)
{
    Stop();
    m_path = path;
    m_mode = mode;
    BuildGraph();
    Run();
}

void MusicPlayer::Stop()
{
    m_mode = Idle;
    if (m_ready && m_pipeline)
        gst_element_set_state(m_pipeline, GST_STATE_READY);
}

void MusicPlayer::Run()
{
    if (m_ready && m_pipeline &&
        gst_element_set_state(m_pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        Close();
}

void MusicPlayer::BuildGraph()
{
    Close();
    m_ready = false;
    m_finished = false;
    m_duration = 0;
    if (!gstreamerReady())
        return;
    const QFileInfo file(m_folder.file(m_path));
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
    if (!audioSinkDescription().empty()) {
        GstElement* sink = gst_parse_bin_from_description(audioSinkDescription().c_str(), TRUE, nullptr);
        if (sink)
            g_object_set(m_pipeline, "audio-sink", sink, nullptr);
    }
    m_bus = gst_element_get_bus(m_pipeline);
    ++m_buildCount;
    // READY opens nothing that can block; decoding starts with Run.
    if (gst_element_set_state(m_pipeline, GST_STATE_READY) == GST_STATE_CHANGE_FAILURE) {
        Close();
        return;
    }
    m_ready = true;
}

void MusicPlayer::Poll()
{
    if (!m_bus)
        return;
    bool ended = false;
    while (GstMessage* message = gst_bus_pop(m_bus)) {
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS:
            ended = true;
            m_finished = true;
            break;
        case GST_MESSAGE_ERROR:
            // A file that turns out to be unplayable leaves the program silent.
            m_ready = false;
            break;
        case GST_MESSAGE_ASYNC_DONE:
        case GST_MESSAGE_DURATION_CHANGED: {
            gint64 nanoseconds = 0;
            if (gst_element_query_duration(m_pipeline, GST_FORMAT_TIME, &nanoseconds) && nanoseconds > 0)
                m_duration = nanoseconds / 100;
            break;
        }
        default:
            break;
        }
        gst_message_unref(message);
    }
    if (!m_ready) {
        Close();
        return;
    }
    if (m_mode == PlayLoop && ended) {
        BuildGraph();
        Run();
    }
}

void MusicPlayer::Close()
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
    m_ready = false;
}
