#include "live/PhoneNames.h"

PhoneNames::PhoneNames(const QStringList& fields, bool masked)
    : m_nameField(static_cast<int>(fields.indexOf(QString::fromUtf8(NameHeading)))), m_masked(masked)
{}

QString PhoneNames::shown(const QString& line) const
{
    QString name = line;
    if (m_nameField >= 0) {
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        // A line that lost its fields shows its last word rather than its number.
        name = words.isEmpty() ? QString() : words.value(m_nameField, words.last());
    }
    return m_masked ? mask(name) : name;
}

QString PhoneNames::mask(const QString& name)
{
    const QString trimmed = name.trimmed();
    const QList<uint> characters = trimmed.toUcs4();
    if (characters.size() < 2)
        return trimmed;
    QString masked = QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()), 1);
    masked += QLatin1Char('*');
    if (characters.size() > 2)
        masked += QString::fromUcs4(reinterpret_cast<const char32_t*>(&characters.last()), 1);
    return masked;
}
