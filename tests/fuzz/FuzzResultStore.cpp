// The result store of any bytes against a participant list of any bytes: the
// restore only takes out of the pool who it names as a winner or an absent
// one, and what is stored again comes back the same.
#include "FuzzCheck.h"
#include "app/DrawEngine.h"
#include "data/ParticipantFile.h"
#include "data/ResultStore.h"
#include "platform/IniDocument.h"
#include "platform/IniFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void restore(DrawEngine& engine, const IniDocument& doc)
{
    const auto value = [&](const std::wstring& key) {
        return tstring(IniFile::readString(doc, L"AwardResult", key, L"", std::wstring::npos));
    };
    RestoreResults(
        engine, IniFile::readInt(doc, L"AwardResult", L"Cnt", 0),
        [&](int index) { return value(L"Itme" + std::to_wstring(index)); }, value(L"Absent"));
}

void load(DrawEngine& engine, const std::vector<tstring>& pool, int prizes)
{
    engine.load(pool, std::vector<AwardItem>(static_cast<size_t>(prizes)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const int prizes = data[0] % 16;
    const size_t poolBytes = std::min<size_t>((size_t(data[1]) << 8 | data[2]), size - 3);
    const std::string people(reinterpret_cast<const char*>(data + 3), poolBytes);
    const std::string store(reinterpret_cast<const char*>(data + 3 + poolBytes), size - 3 - poolBytes);
    const std::vector<tstring> pool = ParseParticipants(people).names.names();

    DrawEngine engine;
    load(engine, pool, prizes);
    restore(engine, IniDocument::fromBytes(store));

    // The pool keeps its order and loses only names that are now winners.
    std::vector<tstring> winners;
    for (const AwardItem& award : engine.awards())
        winners.insert(winners.end(), award.winners.begin(), award.winners.end());
    winners.insert(winners.end(), engine.absent().begin(), engine.absent().end());
    size_t kept = 0;
    std::vector<tstring> removed;
    for (const tstring& name : pool) {
        if (kept < engine.pool().size() && engine.pool()[kept] == name)
            ++kept;
        else
            removed.push_back(name);
    }
    FUZZ_CHECK(kept == engine.pool().size());
    FUZZ_CHECK(removed.size() <= winners.size());
    for (const tstring& name : removed)
        FUZZ_CHECK(std::find(winners.begin(), winners.end(), name) != winners.end());

    // A prize won (or an absent list held) by one participant with an empty
    // name is stored as an empty value, which is nobody at all: the one case
    // that cannot come back.
    const auto loneEmptyName = [](const std::vector<tstring>& names) {
        return names.size() == 1 && names.front().empty();
    };
    if (loneEmptyName(engine.absent()))
        return 0;
    for (const AwardItem& award : engine.awards()) {
        if (loneEmptyName(award.winners))
            return 0;
    }
    // Stored again into the same file, as the exit stores it.
    IniDocument written = IniDocument::fromBytes(store);
    engine.storeAfresh();
    WriteResults(written, engine);
    const IniDocument reread = IniDocument::fromBytes(written.toBytes());
    // Code page 936 bytes that happen to be valid UTF-8 read as another text.
    if (reread.encoding() != written.encoding())
        return 0;
    DrawEngine again;
    load(again, pool, prizes);
    restore(again, reread);
    FUZZ_CHECK(again.current() == engine.current());
    FUZZ_CHECK(again.pool().names() == engine.pool().names());
    FUZZ_CHECK(again.absent() == engine.absent());
    for (int i = 0; i < prizes; ++i)
        FUZZ_CHECK(again.award(i).winners == engine.award(i).winners);
    return 0;
}
