#pragma once
// Many look-ups in one statement: the values asked are bound as the rows of
// a table `v` that the statement joins or looks up row by row (either
// engine plans each look-up by its key, where an IN list may be planned as
// a scan of the whole table).

#include "database.h"

#include <algorithm>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace orvane::server {

// "WITH v (column) AS (VALUES (?first), ...)", `count` placeholders long.
std::string valuesTable(std::string_view column, int first, int count);

// Runs `st`, made with valuesTable(column, first, count), over all of
// `values`, `count` at a time (the last value repeated to fill a short
// turn). Each turn binds the statement's other values by `bindOthers(st)`
// and hands each row to `row(st)`.
template <typename T, typename BindOthers, typename Row>
void lookUpEach(Statement& st, int first, int count, std::span<const T> values,
                BindOthers bindOthers, Row row) {
    for (std::size_t from = 0; from < values.size(); from += static_cast<std::size_t>(count)) {
        st.reset();
        bindOthers(st);
        for (int i = 0; i < count; ++i)
            st.bind(first + i,
                    values[std::min(values.size() - 1, from + static_cast<std::size_t>(i))]);
        while (st.step())
            row(st);
        st.reset();
    }
}

} // namespace orvane::server
