#include "data/ResultStore.h"

#include "app/DrawEngine.h"
#include "data/CIni.h"
#include "platform/IniDocument.h"
#include "platform/WinPath.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>
#include <unordered_map>

const wchar_t* const ResultStoreFile = L".\\AwardResult.ini";

namespace {

const wchar_t* const Section = L"AwardResult";
const wchar_t* const CountKey = L"Cnt";
const wchar_t* const AbsentKey = L"Absent";
constexpr wchar_t FullWidthBar = L'\uFF5C';

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
            m_byName[pool[i]].at.push_back(i);
            if (pool[i].find(L'|') != tstring::npos)
                m_byStoredName[StoredWinnerName(pool[i])].at.push_back(i);
        }
    }

    // The winner a stored piece stands for. A piece never holds "|"; one
    // with a full-width bar that names nobody as it stands is the stored
    // form of a name with a bar.
    tstring take(const tstring& piece)
    {
        if (takeFrom(m_byName, piece))
            return piece;
        if (piece.find(FullWidthBar) != tstring::npos) {
            if (const auto position = takeFrom(m_byStoredName, piece))
                return m_pool[*position];
        }
        return piece;
    }

    void finish() { DrawEngine::removeMarked(m_pool, m_removed); }

private:
    struct Positions
    {
        std::vector<size_t> at;
        size_t taken = 0;
    };
    using Index = std::unordered_map<std::wstring, Positions>;

    std::optional<size_t> takeFrom(Index& index, const std::wstring& name)
    {
        const auto found = index.find(name);
        if (found == index.end())
            return std::nullopt;
        Positions& positions = found->second;
        while (positions.taken < positions.at.size()) {
            const size_t position = positions.at[positions.taken++];
            if (!m_removed[position]) {
                m_removed[position] = true;
                return position;
            }
        }
        return std::nullopt;
    }

    std::vector<tstring>& m_pool;
    std::vector<bool> m_removed;
    Index m_byName;
    Index m_byStoredName;
};

tstring joinedWinners(const std::vector<tstring>& winners)
{
    tstring joined;
    for (size_t w = 0; w < winners.size(); ++w) {
        if (w > 0)
            joined += L"|";
        joined += StoredWinnerName(winners[w]);
    }
    return joined;
}

} // namespace

tstring StoredWinnerName(const tstring& name)
{
    tstring stored = name;
    for (wchar_t& c : stored) {
        if (c == L'|')
            c = FullWidthBar;
    }
    return stored;
}

bool KeepResults(const DrawEngine& engine)
{
    return !ResultStoreExists() || SaveResults(engine);
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
    RestoreResults(engine, ini.GetInt(Section, CountKey),
                   [&](int index) { return ini.GetLongString(Section, itemKey(index)); });
    RestoreAbsent(engine, ini.GetLongString(Section, AbsentKey));
}

void RestoreAbsent(DrawEngine& engine, const tstring& joinedAbsent)
{
    if (joinedAbsent.empty())
        return;
    for (const tstring& piece : joinedAbsent.Tokenize(L"|", false)) {
        auto found = std::find(engine.m_pool.begin(), engine.m_pool.end(), piece);
        if (found == engine.m_pool.end())
            found = std::find_if(engine.m_pool.begin(), engine.m_pool.end(),
                                 [&](const tstring& name) { return StoredWinnerName(name) == piece; });
        engine.m_absent.push_back(found == engine.m_pool.end() ? piece : *found);
        if (found != engine.m_pool.end())
            engine.m_pool.erase(found);
    }
}

void RestoreResults(DrawEngine& engine, int storedCount, const std::function<tstring(int)>& joinedWinners)
{
    engine.m_continuesStore = true;
    if (storedCount < 1)
        return;
    engine.m_current = storedCount - 1;
    PoolRemover pool(engine.m_pool);
    for (int i = 0; i < storedCount && i < engine.prizeCount(); ++i) {
        const tstring joined = joinedWinners(i);
        if (joined.empty())
            continue;
        AwardItem& award = engine.m_awards[static_cast<size_t>(i)];
        for (const tstring& piece : joined.Tokenize(L"|", false))
            award.winners.push_back(pool.take(piece));
    }
    pool.finish();
}

void WriteResults(IniDocument& doc, const DrawEngine& engine)
{
    if (!engine.m_continuesStore) {
        for (const std::wstring& name : doc.sectionNames()) {
            if (!name.empty())
                doc.removeSection(name);
        }
    }
    if (engine.m_absent.empty())
        doc.removeKey(Section, AbsentKey);
    else
        doc.setValue(Section, AbsentKey, joinedWinners(engine.m_absent));
    const int count = engine.finishedCountToStore();
    if (count <= 0)
        return;
    // A winner code page 936 cannot hold turns the store into UTF-16LE: one
    // written as "?" would match nobody at the restore and could win again.
    tstring text;
    doc.setValue(Section, CountKey, text.Format(L"%d", count));
    for (int i = 0; i < count && i < engine.prizeCount(); ++i)
        doc.setValue(Section, itemKey(i), joinedWinners(engine.m_awards[static_cast<size_t>(i)].winners));
}

bool SaveResults(const DrawEngine& engine)
{
    CIni ini(ResultStoreFile);
    return ini.IsOpen() && ini.Apply([&](IniDocument& doc) { WriteResults(doc, engine); });
}
