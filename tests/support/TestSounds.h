#pragma once

#include <string>

// A mono 16-bit 8 kHz sine tone as the bytes of a WAV file.
std::string wavTone(int milliseconds);
