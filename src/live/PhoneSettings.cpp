#include "live/PhoneSettings.h"

#include "areas/TextAreas.h"
#include "platform/EventFolder.h"
#include "platform/IniFile.h"

namespace {

int number(const QString& doc, const wchar_t* key, int fallback, int least, int most)
{
    bool ok = false;
    const int value = QString::fromStdWString(IniFile::readString(doc, PhoneSettings::Section, key, L"", 32))
                          .trimmed()
                          .toInt(&ok);
    return ok && value >= least && value <= most ? value : fallback;
}

} // namespace

PhoneSettings PhoneSettings::read(const EventFolder& folder)
{
    const QString doc = folder.file(AwardInfoFile);
    PhoneSettings settings;
    settings.enabled = number(doc, L"Enabled", 0, 0, 1) == 1;
    settings.port = static_cast<quint16>(number(doc, L"Port", DefaultPort, 1, 65535 - PortsTried));
    settings.address =
        QString::fromStdWString(IniFile::readString(doc, Section, L"Address", L"", 256)).trimmed();
    settings.maskNames = number(doc, L"MaskNames", 0, 0, 1) == 1;
    settings.perAddress = number(doc, L"PerAddress", DefaultPerAddress, 1, 4000);
    return settings;
}

bool PhoneSettings::writeEnabled(const EventFolder& folder, bool on)
{
    return IniFile::writeString(folder.file(AwardInfoFile), Section, L"Enabled", on ? L"1" : L"0");
}
