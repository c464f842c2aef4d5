#pragma once

#include "platform/CodePage.h"
#include "platform/EventFolder.h"

#include <QStringList>

// What the participant editor reaches of the draw screen: the event folder,
// the encoding "data.txt" was read in, the headings of an imported list, and
// the reload after a confirmed save.
class ParticipantEditorHost
{
public:
    virtual ~ParticipantEditorHost() = default;

    virtual const EventFolder& folder() const = 0;
    virtual TextEncoding participantEncoding() const = 0;
    // The list saved came from a sheet whose chosen columns had these
    // headings (none when its first row was not taken as headings).
    virtual void participantFieldsImported(const QStringList& fields) = 0;
    // Creates the text areas anew from the configuration file, then starts
    // the draw afresh from the participant list.
    virtual void reloadAfterParticipantEdit() = 0;
};
