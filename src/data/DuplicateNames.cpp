#include "data/DuplicateNames.h"

#include <QHash>
#include <algorithm>

DuplicateNames::DuplicateNames(const QStringList& names)
{
    QHash<QString, qsizetype> counts;
    counts.reserve(names.size());
    QStringList order;
    for (const QString& name : names) {
        if (++counts[name] == 2)
            order << name;
    }
    for (const QString& name : order) {
        m_repeated.emplace_back(name, counts.value(name));
        m_entries += counts.value(name);
    }
    std::stable_sort(m_repeated.begin(), m_repeated.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
}

QString DuplicateNames::summary() const
{
    if (isEmpty())
        return QString();
    QStringList shown;
    for (size_t i = 0; i < m_repeated.size() && i < size_t(Shown); ++i)
        shown << QStringLiteral("%1 ×%2").arg(m_repeated[i].first).arg(m_repeated[i].second);
    return QStringLiteral("有 %1 个重复的名字: %2%3")
        .arg(m_entries)
        .arg(shown.join(QStringLiteral(", ")),
             m_repeated.size() > size_t(Shown) ? QStringLiteral(" …") : QString());
}
