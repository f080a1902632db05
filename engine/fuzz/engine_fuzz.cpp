// Fuzz entry over the engine: the input becomes a rule document that reads
// without error, which runs as a data change group and as a scan group over
// real records of every type and coding. Every record a run changes must
// read back as a well-formed record; one it does not change must not be
// rebuilt.
#include "group_runner.h"
#include "rule_generator.h"
#include "rule_group.h"

#include "marc/reader.h"
#include "marc/record_view.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

void Check(bool ok) {
    if (!ok)
        std::abort();
}

// A few records of each sample file: bibliographic, holdings, authority,
// MARC-8 and Unicode, and one with invalid UTF-8.
const std::vector<std::string>& Samples() {
    static const std::vector<std::string> samples = [] {
        std::vector<std::string> records;
        for (const char* name : {"m4j_chabon.mrc", "m4j_sample1.mrc", "eg_serials_mfhd.mrc",
                                 "pym_marc8.dat", "eg_auth-subset100.mrc", "pym_utf8_invalid.mrc",
                                 "eg_hebrew.marc"}) {
            std::ifstream in(std::filesystem::path(VELUMAR_MARC_DATA_DIR) / name,
                             std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            const std::string file = bytes.str();
            marc::Reader reader{std::string_view(file)};
            for (int i = 0; i < 6; ++i) {
                const auto record = reader.next();
                if (!record)
                    break;
                records.emplace_back(record->bytes());
            }
        }
        return records;
    }();
    return samples;
}

} // namespace

// Read by the replay to show what the inputs reached.
std::size_t fuzzCompiled = 0;
std::size_t fuzzChanged = 0;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string document = engine::fuzz::generateDocument({data, size});
    const auto compiled = engine::RuleGroup::compile({{"fuzz", document}});
    if (!compiled.group)
        return 0;
    ++fuzzCompiled;
    engine::RecordFacts facts;
    if (size > 0 && (data[0] & 1)) {
        facts.hasHoldings = (data[0] & 2) != 0;
        facts.hasItemsOrOrders = (data[0] & 4) != 0;
        facts.suppressed = (data[0] & 8) != 0;
        facts.createdDate = "20190101";
    }
    for (const auto kind : {engine::GroupKind::DataChange, engine::GroupKind::Scan}) {
        engine::RunParameters parameters;
        parameters.kind = kind;
        parameters.libraryId = "MAIN";
        parameters.mayDelete = size > 1 && (data[1] & 1);
        engine::GroupRunner runner(*compiled.group, parameters);
        engine::RecordOutcome outcome;
        for (const std::string& record : Samples()) {
            const marc::ParseResult input = marc::parseRecord(record);
            runner.apply(*input.record, facts, outcome);
            if (outcome.outcome != engine::Outcome::Changed) {
                Check(outcome.record.empty());
                continue;
            }
            ++fuzzChanged;
            const marc::ParseResult output = marc::parseRecord(outcome.record);
            Check(output.record.has_value());
            Check(output.record->bytes().size() == outcome.record.size());
        }
    }
    return 0;
}
