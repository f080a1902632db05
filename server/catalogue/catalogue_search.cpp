#include "catalogue_search.h"

#include "index_codes.h"
#include "store/database.h"
#include "text_fold.h"

#include <algorithm>

namespace orvane::server {

namespace {

std::vector<std::int32_t> lookUp(Statement& exact, Statement& prefix, RecordKind kind,
                                 const std::vector<std::string_view>& codes, std::string_view key,
                                 bool truncate) {
    Statement& st = truncate ? prefix : exact;
    std::vector<std::int32_t> ids;
    for (const std::string_view code : codes) {
        st.reset();
        st.bind(1, toNumber(kind)).bind(2, code).bind(3, key);
        // Keys are UTF-8 compared octet by octet: the prefix and the highest
        // code point (U+10FFFF, in no key) bound every key the prefix begins.
        if (truncate)
            st.bind(4, std::string(key).append("\xF4\x8F\xBF\xBF"));
        while (st.step())
            ids.push_back(static_cast<std::int32_t>(st.int64(0)));
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

} // namespace

SearchResult planSearch(const SearchQuery& query) {
    SearchResult result;
    const IndexCode* index = findIndexCode(query.indexCode);
    if (!index) {
        result.failure = SearchFailure::UnknownIndex;
        return result;
    }
    result.kind = index->kind.value_or(query.kind.value_or(RecordKind::Bibliographic));
    if (query.kind && *query.kind != result.kind)
        result.failure = SearchFailure::KindMismatch;
    else if (normaliseKey(index->form, query.key).empty())
        result.failure = SearchFailure::EmptyKey;
    return result;
}

SearchResult searchCatalogue(Database& db, const SearchQuery& query) {
    SearchResult result = planSearch(query);
    if (result.failure != SearchFailure::None)
        return result;
    const IndexCode& index = *findIndexCode(query.indexCode);
    const std::string key = normaliseKey(index.form, query.key);

    auto exact = db.prepare("SELECT record_id FROM catalogue_index WHERE record_type = ?1 "
                            "AND code = ?2 AND key = ?3");
    auto prefix = db.prepare("SELECT record_id FROM catalogue_index WHERE record_type = ?1 "
                             "AND code = ?2 AND key >= ?3 AND key < ?4");
    const auto codes = searchedCodes(index.code, result.kind);
    if (index.form != KeyForm::Words) {
        result.ids = lookUp(exact, prefix, result.kind, codes, key, query.truncate);
    } else {
        // Every word must be found; only the last is truncated.
        const auto words = wordsOf(key);
        for (std::size_t i = 0; i < words.size(); ++i) {
            auto ids = lookUp(exact, prefix, result.kind, codes, words[i],
                              query.truncate && i + 1 == words.size());
            if (i == 0) {
                result.ids = std::move(ids);
            } else {
                std::vector<std::int32_t> both;
                std::set_intersection(result.ids.begin(), result.ids.end(), ids.begin(), ids.end(),
                                      std::back_inserter(both));
                result.ids = std::move(both);
            }
            if (result.ids.empty())
                break;
        }
    }
    if (query.maxHits > 0 && result.ids.size() > query.maxHits)
        result.ids.resize(query.maxHits);
    return result;
}

} // namespace orvane::server
