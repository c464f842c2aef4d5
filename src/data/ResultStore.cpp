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
const wchar_t* const WithdrawnKey = L"Withdrawn";
constexpr wchar_t FullWidthBar = L'\uFF5C';

tstring itemKey(int index)
{
    tstring key;
    key.Format(L"Itme%d", index);
    return key;
}

// Finds the pool entries the stored winners stand for: each takes the
// first entry of its name that no other has taken.
class PoolRemover
{
public:
    explicit PoolRemover(const NamePool& pool) : m_pool(pool) {}

    // The winner a stored piece stands for. A piece never holds "|"; one
    // with a full-width bar that names nobody as it stands is the stored
    // form of a name with a bar.
    tstring take(const tstring& piece)
    {
        index();
        if (takeByName(piece))
            return piece;
        if (piece.find(FullWidthBar) != tstring::npos) {
            if (const auto position = takeStored(piece))
                return m_pool[*position];
        }
        return piece;
    }

    // Empty when nothing was taken.
    std::vector<bool> taken() { return std::move(m_taken); }

private:
    struct Positions
    {
        std::vector<size_t> at;
        size_t taken = 0;
    };

    // Only a store that names someone pays for the index of a big pool: a
    // sorted list of each name's hash and place, sixteen bytes a name, not a
    // copy of every name.
    void index()
    {
        if (!m_taken.empty() || m_pool.empty())
            return;
        m_taken.assign(m_pool.size(), false);
        m_byHash.reserve(m_pool.size());
        tstring name;
        for (size_t i = 0; i < m_pool.size(); ++i) {
            m_pool.copy(i, name);
            m_byHash.emplace_back(hashOf(name), i);
            if (name.find(L'|') != tstring::npos)
                m_byStoredName[name.WithFullWidthBars()].at.push_back(i);
        }
        std::sort(m_byHash.begin(), m_byHash.end());
    }

    static size_t hashOf(const std::wstring& name) { return std::hash<std::wstring>()(name); }

    // The first place of that name in pool order not yet taken.
    bool takeByName(const tstring& piece)
    {
        const size_t hash = hashOf(piece);
        const auto first =
            std::lower_bound(m_byHash.begin(), m_byHash.end(), std::pair<size_t, size_t>(hash, 0));
        const size_t from = size_t(first - m_byHash.begin());
        // Places before the cursor of a hash are all taken: many equal names stay quick.
        size_t& cursor = m_cursor.emplace(from, from).first->second;
        bool allTakenSoFar = true;
        for (size_t at = cursor; at < m_byHash.size() && m_byHash[at].first == hash; ++at) {
            const size_t position = m_byHash[at].second;
            if (m_taken[position]) {
                if (allTakenSoFar)
                    cursor = at + 1;
                continue;
            }
            m_pool.copy(position, m_scratch);
            if (m_scratch != piece) {
                allTakenSoFar = false;
                continue;
            }
            m_taken[position] = true;
            if (allTakenSoFar)
                cursor = at + 1;
            return true;
        }
        return false;
    }

    std::optional<size_t> takeStored(const std::wstring& name)
    {
        const auto found = m_byStoredName.find(name);
        if (found == m_byStoredName.end())
            return std::nullopt;
        Positions& positions = found->second;
        while (positions.taken < positions.at.size()) {
            const size_t position = positions.at[positions.taken++];
            if (!m_taken[position]) {
                m_taken[position] = true;
                return position;
            }
        }
        return std::nullopt;
    }

    const NamePool& m_pool;
    std::vector<bool> m_taken;
    std::vector<std::pair<size_t, size_t>> m_byHash;
    std::unordered_map<size_t, size_t> m_cursor;
    std::unordered_map<std::wstring, Positions> m_byStoredName;
    tstring m_scratch;
};

tstring joinedWinners(const std::vector<tstring>& winners)
{
    tstring joined;
    for (size_t w = 0; w < winners.size(); ++w) {
        if (w > 0)
            joined += L"|";
        joined += winners[w].WithFullWidthBars();
    }
    return joined;
}

} // namespace

StoredDraw StoredDraw::of(const DrawEngine& engine)
{
    StoredDraw draw;
    draw.continuesStore = engine.continuesStore();
    draw.finished = engine.finishedCountToStore();
    for (int i = 0; i < draw.finished && i < engine.prizeCount(); ++i)
        draw.winners.push_back(&engine.award(i).winners);
    draw.absent = &engine.absent();
    draw.withdrawn = &engine.withdrawn();
    return draw;
}

bool KeepResults(const EventFolder& folder, const DrawEngine& engine)
{
    return KeepResults(folder, StoredDraw::of(engine));
}

bool KeepResults(const EventFolder& folder, const StoredDraw& draw)
{
    return !ResultStoreExists(folder) || SaveResults(folder, draw);
}

bool ResultStoreExists(const EventFolder& folder)
{
    return QFileInfo::exists(folder.file(ResultStoreFile));
}

void RestoreResults(const EventFolder& folder, DrawEngine& engine)
{
    CIni ini(folder, ResultStoreFile);
    if (!ini.IsOpen())
        return;
    RestoreResults(
        engine, ini.GetInt(Section, CountKey),
        [&](int index) { return ini.GetLongString(Section, itemKey(index)); },
        ini.GetLongString(Section, AbsentKey), ini.GetLongString(Section, WithdrawnKey));
}

void RestoreResults(DrawEngine& engine, int storedCount, const std::function<tstring(int)>& joinedWinners,
                    const tstring& joinedAbsent, const tstring& joinedWithdrawn)
{
    DrawEngine::Restored restored;
    restored.storedCount = storedCount;
    PoolRemover pool(engine.pool());
    for (int i = 0; i < storedCount && i < engine.prizeCount(); ++i) {
        restored.winners.emplace_back();
        const tstring joined = joinedWinners(i);
        if (joined.empty())
            continue;
        for (const tstring& piece : joined.Tokenize(L"|", false))
            restored.winners.back().push_back(pool.take(piece));
    }
    for (const auto& [joined, names] :
         {std::pair(&joinedAbsent, &restored.absent), std::pair(&joinedWithdrawn, &restored.withdrawn)}) {
        if (joined->empty())
            continue;
        for (const tstring& piece : joined->Tokenize(L"|", false))
            names->push_back(pool.take(piece));
    }
    restored.taken = pool.taken();
    engine.restore(std::move(restored));
}

void WriteResults(IniDocument& doc, const DrawEngine& engine)
{
    WriteResults(doc, StoredDraw::of(engine));
}

void WriteResults(IniDocument& doc, const StoredDraw& draw)
{
    if (!draw.continuesStore) {
        for (const std::wstring& name : doc.sectionNames()) {
            if (!name.empty())
                doc.removeSection(name);
        }
    }
    for (const auto& [key, names] :
         {std::pair(AbsentKey, draw.absent), std::pair(WithdrawnKey, draw.withdrawn)}) {
        if (!names || names->empty())
            doc.removeKey(Section, key);
        else
            doc.setValue(Section, key, joinedWinners(*names));
    }
    const int count = draw.finished;
    if (count <= 0)
        return;
    // A winner code page 936 cannot hold turns the store into UTF-16LE: one
    // written as "?" would match nobody at the restore and could win again.
    tstring text;
    doc.setValue(Section, CountKey, text.Format(L"%d", count));
    for (std::size_t i = 0; i < draw.winners.size(); ++i)
        doc.setValue(Section, itemKey(int(i)), joinedWinners(*draw.winners[i]));
}

bool SaveResults(const EventFolder& folder, const DrawEngine& engine)
{
    return SaveResults(folder, StoredDraw::of(engine));
}

bool SaveResults(const EventFolder& folder, const StoredDraw& draw)
{
    CIni ini(folder, ResultStoreFile);
    return ini.IsOpen() && ini.Apply([&](IniDocument& doc) { WriteResults(doc, draw); });
}
