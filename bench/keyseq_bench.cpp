// How long reading key-sequence texts and loading a table take.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "base/bounded_text.h"
#include "config/key_table.h"
#include "keyseq/key_names.h"
#include "keyseq/key_player.h"
#include "keyseq/key_sequence.h"
#include "testing/fake_profile_store.h"

namespace {

std::vector<KeyAction> EveryReaderNameAsRecord() {
    int count = 0;
    const ReaderName* names = ReaderNames(&count);
    std::vector<KeyAction> records(count);
    for (int i = 0; i < count; ++i) {
        CopyBounded(records[i].text, std::string("0-C-A-") + names[i].name);
    }
    return records;
}

void BM_ParseEveryReaderName(benchmark::State& state) {
    std::vector<KeyAction> records = EveryReaderNameAsRecord();
    for (auto _ : state) {
        for (KeyAction& record : records) {
            ParseKeySequence(record);
            benchmark::DoNotOptimize(record.key);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(records.size()));
}
BENCHMARK(BM_ParseEveryReaderName);

void BM_LoadUserTable(benchmark::State& state) {
    IniPaths paths{"TWCtrl.ini", "UserDef.ini", "UserDefInf.ini"};
    FakeProfileStore profiles;
    for (int n = 0; n < kButtonCount; ++n) {
        std::string key = std::to_string(n);
        profiles.WriteString(paths.userDef, "Music", key.c_str(), "0-C-S-PGDOWN");
        profiles.WriteString(paths.userDefInf, "Music", key.c_str(), "Next page of the list");
    }
    KeyTable table;
    for (auto _ : state) {
        LoadKeyTable(profiles, paths, "Music", true, table);
        benchmark::DoNotOptimize(table[34].key);
    }
}
BENCHMARK(BM_LoadUserTable);

}  // namespace
