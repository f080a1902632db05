// Reading and checking a large rule document: lines per second.
#include "rule_clob.h"
#include "rule_document.h"

#include <benchmark/benchmark.h>
#include <cstddef>
#include <string>

namespace {

constexpr int kRules = 10000;

// A document of varied rules, as cataloguers write them: field and control
// conditions, dates, comments, and every common consequence, a Replace
// String group and an occasional line in error among them.
std::string MakeDocument(int rules) {
    std::string text = "# Generated rule set\r\n# for the benchmark\r\n\r\n";
    for (int i = 0; i < rules; ++i) {
        const std::string n = std::to_string(i);
        const std::string tag = std::to_string(100 + i % 800);
        text += "rule \"Rule " + n + "\"\r\n#priority " + std::to_string(i % 10) + "\r\n  when\r\n";
        text += "    MARC.\"" + tag + "\"(\"1\",\"#\")[\"0\"].\"a\" equals \"Value " + n + "\"\r\n";
        switch (i % 4) {
        case 0:
            text += "    MARC.control.\"008\".Language equals \"eng\"\r\n";
            break;
        case 1:
            text += "    MARC with subfield \"650\".\"x\" contains \"History\"\r\n";
            break;
        case 2:
            text += "    Created between \"20240101\" and \"20241231\"\r\n";
            break;
        default:
            text += "    MARC.\"245\" has any \"abc\"\r\n# reviewed\r\n";
            break;
        }
        text += "    TARGET MARC is \"500\"\r\n  then\r\n";
        text += "    set MARC.\"" + tag + "\".\"a\" to \"New " + n + "\"\r\n";
        text += "    create MARC.\"590\"(\"1\",\" \")\r\n";
        text += "    create MARC.\"590\".\"a\" with \"Note " + n + "\" after \"b\"[\"0\"]\r\n";
        text += "    copy MARC \"245\".\"a\" to existing \"500t\"\r\n";
        if (i % 3 == 0) {
            text += "    set TEMP\"1\" to MARC.\"" + tag + "\".\"a\"\r\n";
            text += "    replace string by string (TEMP\"1\",\"\\\\\\\\Qold\",\"new\")\r\n";
            text += "    set MARC.\"" + tag + "\".\"a\" to TEMP\"1\"\r\n";
        }
        text += i % 50 == 0 ? "    delete all\r\n" : "    remove MARC.\"900\" subfield \"z\"\r\n";
        text += "end\r\n\r\n";
    }
    return text;
}

std::size_t Validate(const rules::RuleDocument& document) {
    std::size_t errors = 0;
    for (const auto& rule : document.Rules) {
        for (const auto& condition : rule.Conditions)
            errors += condition.HasError() && condition.Kind != rules::condition_kind::Comment &&
                      condition.Kind != rules::condition_kind::Target;
        for (const auto& consequence : rule.Consequences)
            errors +=
                consequence.HasError() && consequence.Kind != rules::consequence_kind::Comment;
        errors += rule.CheckAddFieldPairs().has_value();
    }
    return errors;
}

void BM_ParseAndValidateDocument(benchmark::State& state) {
    const std::string text = MakeDocument(static_cast<int>(state.range(0)));
    const auto lines = rules::RuleClob::SplitLines(text).size();
    std::size_t errors = 0;
    for (auto _ : state) {
        rules::RuleDocument document;
        document.LoadText(text);
        errors = Validate(document);
        benchmark::DoNotOptimize(errors);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["lines_per_second"] = benchmark::Counter(
        static_cast<double>(state.iterations() * lines), benchmark::Counter::kIsRate);
    state.counters["lines_in_error"] = static_cast<double>(errors);
}
BENCHMARK(BM_ParseAndValidateDocument)->Arg(kRules)->Unit(benchmark::kMillisecond);

void BM_BuildText(benchmark::State& state) {
    const std::string text = MakeDocument(static_cast<int>(state.range(0)));
    rules::RuleDocument document;
    document.LoadText(text);
    const auto lines = rules::RuleClob::SplitLines(text).size();
    for (auto _ : state) {
        std::string built = document.BuildText();
        benchmark::DoNotOptimize(built.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * lines));
}
BENCHMARK(BM_BuildText)->Arg(kRules)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
