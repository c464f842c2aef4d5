// Ranges as an operator may type them: a range that parses parses again from
// its own text to the same clauses, and deciding who it admits never fails and
// comes out the same for the name read in place from a pool, as UTF-16.
#include "FuzzCheck.h"
#include "app/DrawScope.h"
#include "app/NamePool.h"
#include "platform/CodePage.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const tstring text(CodePage::decode(bytes, CodePage::detect(bytes)));
    DrawScope scope;
    QString reason;
    if (!scope.parse(text, &reason)) {
        FUZZ_CHECK(!reason.isEmpty());
        FUZZ_CHECK(scope.admitsEveryone());
        return 0;
    }
    DrawScope again;
    FUZZ_CHECK(again.parse(scope.text()));
    FUZZ_CHECK(again.clauses().size() == scope.clauses().size());
    for (const tstring& file : scope.files()) {
        FUZZ_CHECK(file.find_first_of(L"/\\") == tstring::npos);
        scope.setExcluded(file, {text}, L"");
    }
    // The text itself and each of its words are names the range may meet.
    std::vector<tstring> names{text};
    for (const DrawScope::Clause& clause : scope.clauses())
        names.push_back(clause.text);
    const NamePool pool(names);
    for (std::size_t i = 0; i < pool.size(); ++i) {
        std::u16string_view inPool;
        tstring scratch;
        if (pool.view(i, inPool))
            FUZZ_CHECK(scope.admits(inPool, scratch) == scope.admits(names[i]));
    }
    for (const DrawScope::Clause& clause : scope.clauses()) {
        if (clause.kind == DrawScope::Clause::Contains)
            FUZZ_CHECK(!scope.admits(text) || DrawScope::hasWord(text, clause.text));
    }
    return 0;
}
