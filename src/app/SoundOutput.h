#pragma once

#include <string>

// Where the show's sounds go, chosen once rather than at every sound: the
// sink GStreamer's automatic choice opens, afterwards made by its name, so
// that no sound probes the devices again (without a sound server that probe
// blocks for up to half a second). With nothing to open, sounds play into a
// silent sink in real time, so loops and ends keep their timing.
class SoundOutput
{
public:
    // The choice: a description for gst_parse_bin_from_description.
    std::string sink;
    // Whether anyone can hear it.
    bool heard = false;

    // Probes now (it may take a while) and makes the result the current choice.
    static SoundOutput choose();
    // The current choice; probes first when there is none yet.
    static SoundOutput current();
    // A description to use instead of any probe ("fakesink sync=true" in the
    // tests); empty gives the system's output back.
    static void setDescription(const std::string& description);
};
