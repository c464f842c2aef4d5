#include "app/SoundOutput.h"

#include <gst/gst.h>
#include <mutex>
#include <optional>

namespace {

const char* const Silent = "fakesink sync=true";

struct State
{
    std::mutex mutex;
    std::string description;
    std::optional<SoundOutput> chosen;
};

State& state()
{
    static State shared;
    return shared;
}

// Whether a sink of that description opens.
bool opens(const std::string& description, std::string* concrete)
{
    GError* error = nullptr;
    GstElement* sink = gst_parse_bin_from_description(description.c_str(), TRUE, &error);
    if (sink)
        gst_object_ref_sink(sink);
    // A description naming an element nobody installed may still give a bin, without it;
    // autoaudiosink tries every sink it knows as it becomes ready, and fails when none opens.
    const bool opened =
        sink && !error && gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
    if (opened && concrete) {
        // The element autoaudiosink settled on, deep in the bins around it.
        GstElement* inner = sink;
        while (GST_IS_BIN(inner) && GST_BIN_NUMCHILDREN(GST_BIN(inner)) == 1)
            inner = GST_ELEMENT(GST_BIN_CHILDREN(GST_BIN(inner))->data);
        if (GstElementFactory* factory = gst_element_get_factory(inner))
            *concrete = GST_OBJECT_NAME(factory);
    }
    if (error)
        g_error_free(error);
    if (sink) {
        gst_element_set_state(sink, GST_STATE_NULL);
        gst_object_unref(sink);
    }
    return opened;
}

} // namespace

SoundOutput SoundOutput::choose()
{
    std::string description;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        description = state().description;
    }
    SoundOutput output;
    if (gst_is_initialized() || gst_init_check(nullptr, nullptr, nullptr)) {
        if (!description.empty()) {
            output.heard = opens(description, nullptr);
            output.sink = output.heard ? description : Silent;
        } else {
            std::string concrete;
            output.heard = opens("autoaudiosink", &concrete);
            // A bin autoaudiosink wrapped is made by its own name next time.
            output.sink = output.heard ? (concrete.empty() ? "autoaudiosink" : concrete) : Silent;
        }
    } else {
        output.sink = Silent;
    }
    std::lock_guard<std::mutex> lock(state().mutex);
    state().chosen = output;
    return output;
}

SoundOutput SoundOutput::current()
{
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        if (state().chosen)
            return *state().chosen;
    }
    return choose();
}

void SoundOutput::setDescription(const std::string& description)
{
    std::lock_guard<std::mutex> lock(state().mutex);
    state().description = description;
    state().chosen.reset();
}
