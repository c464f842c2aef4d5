#pragma once

#include "app/NamePool.h"
#include "areas/tstring.h"
#include "platform/CodePage.h"

#include <string>
#include <vector>

class EventFolder;

extern const wchar_t* const ParticipantFileName;

// The participants in file order, and the encoding the file was read in so
// that it is written back, and a new export made, the same way.
struct ParticipantList
{
    NamePool names;
    TextEncoding encoding = TextEncoding::Ansi;
};

// One name per line. A NUL byte ends its line's name; a line that starts with
// one ends the list. Names are not trimmed; an empty line is a participant
// with an empty name.
// Code page 936 and UTF-8 text is decoded `decodedPiece` bytes at a time, a
// line at most further.
ParticipantList ParseParticipants(const std::string& bytes, size_t decodedPiece = 1 << 20);

// False when "data.txt" cannot be opened.
bool ReadParticipants(const EventFolder& folder, ParticipantList& list);

// The editor's text as the file keeps it: every line trimmed, blank ones
// left out, CR LF after each line that had a line break in the text.
std::wstring ParticipantFileText(const std::wstring& editText);

// Replaces "data.txt" in one step with the text in the encoding (and with
// the byte-order mark) it was read in; false when it cannot be written.
bool WriteParticipants(const EventFolder& folder, const std::wstring& editText, TextEncoding encoding);
