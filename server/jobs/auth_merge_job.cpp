// Auth load merge jobs: each record of the match job's Match and Multi match
// files is merged into the existing record it matched, as the merge
// configuration says, in bulks of 100 saved one transaction each. Several
// matches are reduced by the choose-best companion or rejected; do-not-merge
// tests discard a pair; deletion notices delete the existing record unless
// bibliographic records use its heading.
#include "auth_source.h"
#include "authload/authority_matcher.h"
#include "authload/authority_merge.h"
#include "catalogue/index_keys.h"
#include "catalogue/record_writer.h"
#include "catalogue_updater.h"
#include "job_execution.h"
#include "job_group.h"
#include "job_kinds.h"
#include "result_writer.h"
#include "rulerun/catalogue_facts.h"
#include "store/database.h"

#include "group_runner.h"

#include "marc/record_view.h"

#include <fstream>

namespace orvane::server {

namespace {

constexpr std::size_t MergeBulk = 100;

// The kind of authority record that decides whether several matches merge.
std::string_view multipleMatchKind(const marc::RecordView& r) {
    const auto fixed = r.findField("008");
    if (fixed && fixed->value().size() > 16 && fixed->value()[16] == 'a')
        return "MMM_SERIES";
    if (r.findField("150"))
        return "MMM_TOPICAL";
    if (const auto name = r.findField("100")) {
        if (name->subfield('t'))
            return "MMM_NAME_TITLE";
        return "MMM_PERSONAL";
    }
    if (r.findField("110") || r.findField("111"))
        return "MMM_CORPORATE_CONFERENCE";
    if (r.findField("130"))
        return "MMM_UNIFORM_TITLE";
    if (r.findField("151"))
        return "MMM_GEOGRAPHIC";
    return {};
}

// The choose-best documents, each its own group: a candidate scores by the
// place of every document whose rules fire on it, the first weighing most.
class ChooseBest {
public:
    // A companion that is gone, or a document of it that does not compile,
    // would choose by other weights than configured: `errors` says so.
    ChooseBest(Database& db, const std::optional<std::int32_t>& groupId,
               std::vector<std::string>& errors) {
        if (!groupId)
            return;
        const auto companion = compiledGroups().get(db, *groupId);
        if (!companion) {
            errors.push_back("The choose-best rule set group " + std::to_string(*groupId) +
                             " no longer exists.");
            return;
        }
        const auto& documents = companion->source.documents;
        for (std::size_t d = 0; d < documents.size(); ++d) {
            auto compiled = engine::RuleGroup::compile({documents[d]});
            if (!compiled.group) {
                std::string why = "The choose-best document \"";
                why.append(documents[d].name).append("\" does not compile");
                for (const std::string& e : compiled.errors)
                    why.append(": ").append(e);
                errors.push_back(std::move(why));
                continue;
            }
            groups_.push_back({documents.size() - d, std::move(compiled.group)});
        }
    }
    // Index of the best candidate; ties go to the first.
    std::size_t best(const std::vector<std::string>& candidates) {
        std::size_t chosen = 0;
        std::size_t top = 0;
        for (std::size_t c = 0; c < candidates.size(); ++c) {
            const marc::ParseResult parsed = marc::parseRecord(candidates[c]);
            std::size_t score = 0;
            for (const auto& [weight, group] : groups_) {
                engine::GroupRunner runner(*group, {});
                if (parsed.record && !runner.apply(*parsed.record, {}).firedRules.empty())
                    score += weight;
            }
            if (score > top) {
                top = score;
                chosen = c;
            }
        }
        return chosen;
    }

private:
    std::vector<std::pair<std::size_t, std::unique_ptr<engine::RuleGroup>>> groups_;
};

// Bibliographic records whose name, subject or title words hold every word
// of the record's 1XX heading (not its see references) use it.
bool headingInUse(Database& db, const marc::RecordView& authority) {
    std::vector<std::string> words;
    for (const std::string& key : authload::headingKeys(authority))
        for (std::size_t at = 0; at < key.size();) {
            const std::size_t blank = key.find(' ', at);
            const std::size_t end = blank == std::string::npos ? key.size() : blank;
            if (end > at)
                words.push_back(key.substr(at, end - at));
            at = end + 1;
        }
    if (words.empty())
        return false;
    std::string sql = "SELECT 1 FROM catalogue_index WHERE record_type = 1 AND code IN ('AU', "
                      "'SU', 'TI') AND key = ?1";
    for (std::size_t i = 1; i < words.size(); ++i)
        sql += " AND record_id IN (SELECT record_id FROM catalogue_index WHERE record_type = 1 "
               "AND code IN ('AU', 'SU', 'TI') AND key = ?" + std::to_string(i + 1) + ")";
    auto st = db.prepare(sql + " LIMIT 1");
    for (std::size_t i = 0; i < words.size(); ++i)
        st.bind(static_cast<int>(i + 1), words[i]);
    return st.step();
}

struct PendingMerge {
    std::int32_t id;
    std::string previous;
    std::string merged; // empty: delete
};

} // namespace

JobEnd runAuthMergeJob(JobExecution& run) {
    const JobRow& job = run.job();
    Database& db = run.db();
    std::filesystem::create_directories(run.files().folder());
    std::ofstream log(run.files().log(), std::ios::binary | std::ios::trunc);
    log << "Auth load merge job \"" << job.name << "\" (" << job.id << ") by " << job.operatorId
        << "\n";
    const auto source = authSource(db, run.databasePath(), job, log);
    const auto group = source ? jobGroup(db, job, log) : nullptr;
    if (!group)
        return {jobs::status::Failed, "the job cannot run"};
    std::vector<std::string> names;
    for (const engine::GroupDocument& d : group->source.documents)
        names.push_back(d.name);
    std::vector<std::string> errors;
    const auto configuration =
        authload::MergeConfiguration::read(names, group->source.parameters, errors);
    ChooseBest chooser(db, configuration.chooseBestGroup, errors);
    for (const std::string& e : errors)
        log << "  " << e << "\n";
    if (!errors.empty())
        return {jobs::status::Failed, "the merge configuration cannot be read"};

    std::vector<std::string> incoming =
        resultRecords(run.databasePath(), source->job.id, jobs::result_file::Match);
    for (std::string& r : resultRecords(run.databasePath(), source->job.id,
                                        jobs::result_file::MultiMatch))
        incoming.push_back(std::move(r));
    JobCounters& counters = run.counters();
    counters.toProcess = static_cast<std::int32_t>((incoming.size() + MergeBulk - 1) / MergeBulk);
    CatalogueReader reader(db);
    CatalogueUpdater updater(db, job.operatorId, true);
    ResultWriter results(run.files());
    std::array<std::size_t, 5> counts{}; // merged, deleted, discarded, redundant, rejected
    std::vector<PendingMerge> bulk;
    const auto saveBulk = [&] {
        Transaction tx(db);
        for (const PendingMerge& m : bulk) {
            if (m.merged.empty())
                updater.remove(RecordKind::Authority, m.id, false);
            else
                updater.replace(RecordKind::Authority, m.id, m.previous, m.merged, {});
        }
        tx.commit();
        bulk.clear();
        ++counters.processed;
    };
    for (std::size_t n = 0; n < incoming.size(); ++n) {
        const marc::ParseResult in = marc::parseRecord(incoming[n]);
        log << "record " << n + 1;
        const std::vector<std::int32_t> ids =
            in.record ? authload::matchedIds(*in.record, source->matchTag)
                      : std::vector<std::int32_t>{};
        const std::string clean =
            in.record ? authload::withoutMatchedIds(*in.record, source->matchTag) : incoming[n];
        const marc::ParseResult cleanView = marc::parseRecord(clean);
        const auto control = cleanView.record ? cleanView.record->findField("001") : std::nullopt;
        log << " (001 " << (control ? control->value() : std::string_view()) << "): ";
        // Only the matched records still in the catalogue, with their ids beside.
        std::vector<std::string> candidates;
        std::vector<std::int32_t> candidateIds;
        for (const std::int32_t id : ids)
            if (const auto existing = reader.load(3, id)) {
                candidates.push_back(existing->marc);
                candidateIds.push_back(id);
            }
        if (!cleanView.record) {
            ++counts[4];
            ++counters.errors;
            results.write(jobs::result_file::Reject, incoming[n]);
            log << "rejected, not a well-formed record\n";
        } else if (candidates.empty()) {
            ++counts[4];
            ++counters.errors;
            results.write(jobs::result_file::Reject, clean);
            log << "rejected, the records it matched are gone\n";
        } else {
            std::size_t chosen = 0;
            const std::string_view kind = multipleMatchKind(*cleanView.record);
            const auto mergeSeveral = configuration.mergeMultiple.find(kind);
            const bool refused = candidates.size() > 1 &&
                                 (mergeSeveral == configuration.mergeMultiple.end() ||
                                  !mergeSeveral->second);
            if (candidates.size() > 1 && !refused) {
                chosen = chooser.best(candidates);
                for (std::size_t c = 0; c < candidates.size(); ++c)
                    if (c != chosen) {
                        ++counts[3];
                        results.write(jobs::result_file::Redundant, candidates[c]);
                    }
            }
            const std::int32_t target = candidateIds[chosen];
            const std::string& existing = candidates[chosen];
            const marc::ParseResult old = marc::parseRecord(existing);
            if (!old.record) {
                ++counts[4];
                ++counters.errors;
                results.write(jobs::result_file::Reject, clean);
                log << "rejected, the existing record " << target << " cannot be read\n";
            } else if (refused) {
                ++counts[4];
                ++counters.errors;
                results.write(jobs::result_file::Reject, clean);
                log << "rejected, several matches and " << (kind.empty() ? "its kind" : kind)
                    << " is not merged\n";
            } else if (const auto reason = authload::doNotMerge(*old.record, configuration)) {
                ++counts[2];
                results.write(jobs::result_file::Discard, clean);
                log << "discarded by " << *reason << "\n";
            } else if (cleanView.record->leader()[5] == 'd') {
                if (headingInUse(db, *old.record)) {
                    ++counts[4];
                    ++counters.errors;
                    results.write(jobs::result_file::Reject, clean);
                    log << "rejected, a deletion notice for " << target
                        << " whose heading bibliographic records use\n";
                } else {
                    ++counts[1];
                    ++counters.deleted;
                    results.write(jobs::result_file::Deleted, existing);
                    bulk.push_back({target, existing, {}});
                    log << "deletes " << target << "\n";
                }
            } else {
                std::string error;
                const auto merged =
                    authload::mergeRecords(*cleanView.record, *old.record, configuration, error);
                if (!merged) {
                    ++counts[4];
                    ++counters.errors;
                    results.write(jobs::result_file::Reject, clean);
                    log << "rejected, " << error << "\n";
                } else {
                    ++counts[0];
                    results.write(jobs::result_file::Before, existing);
                    results.write(jobs::result_file::After, *merged);
                    bulk.push_back({target, existing, *merged});
                    log << "merged into " << target << "\n";
                }
            }
        }
        if ((n + 1) % MergeBulk == 0 || n + 1 == incoming.size()) {
            saveBulk();
            if (run.bulkDone() && n + 1 < incoming.size()) {
                const JobEnd end = run.stopped();
                log << "Stopped: " << end.reason << ", after " << counters.processed
                    << " bulks\n";
                return end;
            }
        }
    }
    if (incoming.empty())
        run.bulkDone();
    std::size_t imported = 0;
    if (configuration.importUnmatched) {
        log << "\nImporting the unmatched records:\n";
        JobCounters unmatched;
        imported = loadUnmatchedRecords(db, job.operatorId, *source, run.databasePath(), log,
                                        results, unmatched, [] { return false; });
        counters.errors += unmatched.errors;
    }
    log << "\nRecords: " << incoming.size() << "\nImported unmatched: " << imported
        << "\nMerged: " << counts[0]
        << "\nDeleted: " << counts[1] << "\nDiscarded: " << counts[2]
        << "\nRedundant: " << counts[3] << "\nRejected: " << counts[4] << "\n";
    return {jobs::status::Done, {}};
}

} // namespace orvane::server
