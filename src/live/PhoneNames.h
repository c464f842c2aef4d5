#pragma once

#include <QString>
#include <QStringList>

// A winner as the phones show it: the name field alone when the list was
// imported with one (numbers and departments never leave the laptop), else
// the whole line; masked when the event asks.
class PhoneNames
{
public:
    static constexpr const char* NameHeading = "姓名";

    // `fields`: the headings the import found ([Participants] Fields).
    PhoneNames(const QStringList& fields, bool masked);

    QString shown(const QString& line) const;
    bool masked() const { return m_masked; }
    // 张三 → 张*, 张小三 → 张*三: the first and the last character stay.
    static QString mask(const QString& name);

private:
    int m_nameField = -1;
    bool m_masked = false;
};
