#pragma once

#include "platform/CodePage.h"

// What the participant editor reaches of the draw screen: the encoding
// "data.txt" was read in, and the reload after a confirmed save.
class ParticipantEditorHost
{
public:
    virtual ~ParticipantEditorHost() = default;

    virtual TextEncoding participantEncoding() const = 0;
    // Creates the text areas anew from the configuration file, then starts
    // the draw afresh from the participant list.
    virtual void reloadAfterParticipantEdit() = 0;
};
