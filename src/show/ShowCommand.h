#pragma once

// The commands of the draw screen's menu and buttons, by their numbers.
namespace ShowCommand {

enum Id
{
    IdOk = 1,
    IdStart = 1000,
    IdStop = 1001,
    IdEditPosition = 32772,
    IdSetFont = 32774,
    IdHideText = 32776,
    IdEffectFont = 32778,
    IdRedraw = 32780,
    IdEditParticipants = 32782,
    IdSettings = 32784,
    IdConsole = 32786,
    IdAbout = 32794,
    IdExit = 32796,
    // The guests' phones: the page on or off, its QR code over the audience screen.
    IdPhonePage = 32798,
    IdPhoneCode = 32800,
    // Check-in's lists for HR: the codes before the event, who came after it.
    IdExportCheckinCodes = 32802,
    IdExportAttendance = 32804,
    // The pre-show check: whether tonight's files are ready.
    IdCheck = 32806,
    // A rehearsal on a copy of the event; in the rehearsal, its end.
    IdRehearse = 32808
};

} // namespace ShowCommand
