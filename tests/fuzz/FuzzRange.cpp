// Ranges as an operator may type them: a range that parses parses again from
// its own text to the same clauses, and deciding who it admits never fails.
#include "FuzzCheck.h"
#include "app/DrawScope.h"
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
    for (const DrawScope::Clause& clause : scope.clauses()) {
        if (clause.kind == DrawScope::Clause::Contains)
            FUZZ_CHECK(!scope.admits(text) || DrawScope::hasWord(text, clause.text));
    }
    return 0;
}
