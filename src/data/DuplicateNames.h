#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// The names that stand more than once in a list: each line is a participant
// of its own, and the prize desk cannot tell two winners of one name apart.
class DuplicateNames
{
public:
    static constexpr int Shown = 5;

    explicit DuplicateNames(const QStringList& names);

    bool isEmpty() const { return m_entries == 0; }
    // The lines whose name another line has too.
    qsizetype entries() const { return m_entries; }
    // "有 3 个重复的名字: 张伟 ×3", the most repeated first, a few of them; empty when none.
    QString summary() const;

private:
    std::vector<std::pair<QString, qsizetype>> m_repeated;
    qsizetype m_entries = 0;
};
