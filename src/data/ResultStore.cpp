#include "data/ResultStore.h"

#include "app/DrawEngine.h"
#include "data/CIni.h"
#include "platform/IniDocument.h"
#include "platform/WinPath.h"

#include <QFileInfo>
#include <algorithm>
#include <unordered_map>

const wchar_t* const ResultStoreFile = L".\\AwardResult.ini";

namespace {

const wchar_t* const Section = L"AwardResult";
const wchar_t* const CountKey = L"Cnt";

tstring itemKey(int index)
{
    tstring key;
    key.Format(L"Itme%d", index);
    return key;
}

// Takes stored winners out of the pool: each removes the first pool entry of
// its name that is still there, and the pool keeps its order.
class PoolRemover
{
public:
    explicit PoolRemover(std::vector<tstring>& pool) : m_pool(pool), m_removed(pool.size(), false)
    {
        for (size_t i = 0; i < pool.size(); ++i) {
            m_positions[pool[i]].at.push_back(i);
            m_mostBars = std::max<size_t>(m_mostBars, std::count(pool[i].begin(), pool[i].end(), L'|'));
        }
    }

    size_t mostBars() const { return m_mostBars; }

    bool contains(const std::wstring& name) const
    {
        const auto found = m_positions.find(name);
        return found != m_positions.end() && found->second.taken < found->second.at.size();
    }

    void remove(const std::wstring& name)
    {
        const auto found = m_positions.find(name);
        if (found == m_positions.end() || found->second.taken == found->second.at.size())
            return;
        m_removed[found->second.at[found->second.taken++]] = true;
    }

    void finish()
    {
        size_t kept = 0;
        for (size_t i = 0; i < m_pool.size(); ++i) {
            if (m_removed[i])
                continue;
            if (kept != i)
                m_pool[kept] = std::move(m_pool[i]);
            ++kept;
        }
        m_pool.resize(kept);
    }

private:
    struct Positions
    {
        std::vector<size_t> at;
        size_t taken = 0;
    };

    std::vector<tstring>& m_pool;
    std::vector<bool> m_removed;
    std::unordered_map<std::wstring, Positions> m_positions;
    size_t m_mostBars = 0;
};

// Names that themselves hold "|" come back split; pieces that join into a
// participant's name are that one participant again.
std::vector<tstring> winnersOf(const std::vector<tstring>& pieces, const PoolRemover& pool)
{
    std::vector<tstring> winners;
    for (size_t i = 0; i < pieces.size();) {
        size_t taken = 1;
        for (size_t extra = std::min(pool.mostBars(), pieces.size() - i - 1); extra > 0; --extra) {
            tstring joined = pieces[i];
            for (size_t k = 1; k <= extra; ++k)
                joined += L"|" + pieces[i + k];
            if (pool.contains(joined)) {
                taken = extra + 1;
                break;
            }
        }
        tstring name = pieces[i];
        for (size_t k = 1; k < taken; ++k)
            name += L"|" + pieces[i + k];
        winners.push_back(std::move(name));
        i += taken;
    }
    return winners;
}

} // namespace

void KeepResults(const DrawEngine& engine)
{
    if (ResultStoreExists())
        SaveResults(engine);
}

bool ResultStoreExists()
{
    return QFileInfo::exists(WinPath::toLocal(ResultStoreFile));
}

void RestoreResults(DrawEngine& engine)
{
    CIni ini(ResultStoreFile);
    if (!ini.IsOpen())
        return;
    const int count = ini.GetInt(Section, CountKey);
    if (count < 1)
        return;
    engine.m_current = count - 1;
    PoolRemover pool(engine.m_pool);
    for (int i = 0; i < count && i < engine.prizeCount(); ++i) {
        const tstring joined = ini.GetLongString(Section, itemKey(i));
        if (joined.empty())
            continue;
        AwardItem& award = engine.m_awards[static_cast<size_t>(i)];
        for (tstring& winner : winnersOf(joined.Tokenize(L"|", false), pool)) {
            pool.remove(winner);
            award.winners.push_back(std::move(winner));
        }
    }
    pool.finish();
}

void SaveResults(const DrawEngine& engine)
{
    CIni ini(ResultStoreFile);
    if (!ini.IsOpen())
        return;
    const int count = engine.finishedCountToStore();
    ini.Apply([&](IniDocument& doc) {
        for (const std::wstring& name : doc.sectionNames()) {
            if (!name.empty())
                doc.removeSection(name);
        }
        if (count <= 0)
            return;
        tstring text;
        doc.setValue(Section, CountKey, text.Format(L"%d", count));
        for (int i = 0; i < count && i < engine.prizeCount(); ++i) {
            const std::vector<tstring>& winners = engine.m_awards[static_cast<size_t>(i)].winners;
            tstring joined;
            for (size_t w = 0; w < winners.size(); ++w) {
                if (w > 0)
                    joined += L"|";
                joined += winners[w];
            }
            doc.setValue(Section, itemKey(i), joined);
        }
    });
}
