#include "database_move.h"

#include "migrations.h"
#include "table_schema.h"

#include <algorithm>
#include <array>
#include <optional>

namespace orvane::server {

namespace {

// Referenced tables before the tables that refer to them.
constexpr std::array<std::string_view, 22> Moved{
    "owning_libraries", "locations",        "operators",           "operator_rights",
    "operator_locations", "operator_libraries", "charsets",         "packages",
    "field_order_configs", "dupe_profiles",  "settings",            "catalogue_records",
    "catalogue_history", "rule_documents",     "rule_document_parameters",
    "rule_sets",        "rule_set_links",   "rule_set_parameters", "record_sets",
    "record_set_members", "jobs",           "job_records"};

// Sessions are tied to the server that opened them; the version is the
// target's own.
constexpr std::array<std::string_view, 2> LeftBehind{"sessions", "schema_version"};

// The search index is not moved row by row: each engine keeps it in its
// own layout, and makes it on the target from the lists of entries the
// moved records keep. Its tables on either engine.
constexpr std::array<std::string_view, 2> IndexTables{"catalogue_index", "catalogue_postings"};

std::string_view indexRebuild(Engine engine) {
    if (engine == Engine::Postgres)
        return "SELECT catalogue_index_rebuild()";
    return "INSERT INTO catalogue_index (record_type, code, key, record_id) "
           "SELECT r.record_type, e.value ->> 0, e.value ->> 1, r.record_id "
           "FROM catalogue_records r, json_each(r.index_entries) e ORDER BY 1, 2, 3, 4";
}

std::string_view nameOf(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::Integer:
        return "integers";
    case ColumnKind::Octets:
        return "octets";
    case ColumnKind::Text:
        break;
    }
    return "text";
}

// One value of a row, as read from the source.
struct Cell {
    bool null = false;
    std::int64_t number = 0;
    std::string text;
};

struct TablePlan {
    std::string name;
    std::vector<std::string> columns;
    std::vector<ColumnKind> kinds;
    std::vector<std::size_t> key; // positions in `columns`
    std::vector<std::string> targetIdentities;
};

std::string joined(const std::vector<std::string>& names, std::span<const std::size_t> positions) {
    std::string out;
    for (const std::size_t p : positions) {
        if (!out.empty())
            out += ", ";
        out += quoted(names[p]);
    }
    return out;
}

std::vector<std::size_t> allPositions(std::size_t count) {
    std::vector<std::size_t> positions(count);
    for (std::size_t i = 0; i < count; ++i)
        positions[i] = i;
    return positions;
}

TablePlan planTable(Database& source, Database& target, std::string_view name) {
    TablePlan plan;
    plan.name = name;
    const auto from = tableColumns(source, plan.name);
    const auto to = tableColumns(target, plan.name);
    if (from.empty() || to.empty())
        throw MoveRefused("table " + plan.name + " is missing from the " +
                          (from.empty() ? "source" : "target"));
    for (const auto& column : to) {
        const auto in = std::find_if(from.begin(), from.end(),
                                     [&](const TableColumn& c) { return c.name == column.name; });
        if (in == from.end())
            throw MoveRefused("column " + plan.name + "." + column.name +
                              " of the target has no counterpart in the source");
        if (in->kind != column.kind)
            throw MoveRefused("column " + plan.name + "." + column.name + " holds " +
                              std::string(nameOf(in->kind)) + " in the source and " +
                              std::string(nameOf(column.kind)) + " in the target");
        plan.columns.push_back(column.name);
        plan.kinds.push_back(column.kind);
        if (column.identity)
            plan.targetIdentities.push_back(column.name);
    }
    for (const auto& column : from) {
        const bool kept = std::find(plan.columns.begin(), plan.columns.end(), column.name) !=
                          plan.columns.end();
        if (!kept)
            throw MoveRefused("column " + plan.name + "." + column.name +
                              " of the source has no place in the target");
    }
    for (const auto& column : primaryKeyOf(from)) {
        const auto at = std::find(plan.columns.begin(), plan.columns.end(), column.name);
        if (at == plan.columns.end())
            throw MoveRefused("table " + plan.name + " has no primary key both engines keep");
        plan.key.push_back(static_cast<std::size_t>(at - plan.columns.begin()));
    }
    if (plan.key.empty())
        throw MoveRefused("table " + plan.name + " has no primary key to read it by");
    return plan;
}

// Every server table the source has is either moved or left behind on
// purpose: a table this program does not know would be lost.
void refuseUnknownTables(Database& source) {
    for (const std::string& table : listTables(source)) {
        const bool known =
            std::find(Moved.begin(), Moved.end(), table) != Moved.end() ||
            std::find(LeftBehind.begin(), LeftBehind.end(), table) != LeftBehind.end() ||
            std::find(IndexTables.begin(), IndexTables.end(), table) != IndexTables.end();
        if (!known)
            throw MoveRefused("the source has a table this orvane-server does not know: " + table);
    }
}

void bindCell(Statement& st, int index, const Cell& cell, ColumnKind kind) {
    if (cell.null)
        st.bindNull(index);
    else if (kind == ColumnKind::Integer)
        st.bind(index, cell.number);
    else if (kind == ColumnKind::Octets)
        st.bindBlob(index, cell.text);
    else
        st.bind(index, std::string_view(cell.text));
}

void loadCell(RowLoader& loader, const Cell& cell, ColumnKind kind) {
    if (cell.null)
        loader.addNull();
    else if (kind == ColumnKind::Integer)
        loader.add(cell.number);
    else if (kind == ColumnKind::Octets)
        loader.addOctets(cell.text);
    else
        loader.add(std::string_view(cell.text));
}

// Pages of a table's rows in primary key order, each after the last row of
// the one before: every page one seek, however far into the table.
class PageReader {
public:
    PageReader(Database& db, const TablePlan& plan, std::size_t pageRows)
        : db_(db), plan_(plan), pageRows_(pageRows) {
        const auto all = allPositions(plan.columns.size());
        const std::string order = joined(plan.columns, plan.key);
        select_.append("SELECT ").append(joined(plan.columns, all)).append(" FROM ");
        select_.append(quoted(plan.name));
        std::string after = " WHERE (";
        after.append(order).append(") > (");
        for (std::size_t i = 0; i < plan.key.size(); ++i)
            after.append(i ? ", ?" : "?").append(std::to_string(i + 1));
        after.append(")");
        std::string tail = " ORDER BY ";
        tail.append(order).append(" LIMIT ").append(std::to_string(pageRows));
        next_ = select_ + after + tail;
        select_.append(tail);
    }

    // The next page's cells, row after row; empty at the end.
    const std::vector<Cell>& next() {
        const std::size_t width = plan_.columns.size();
        std::optional<Statement> st;
        if (cells_.empty() && !started_) {
            st.emplace(db_.prepare(select_));
        } else if (cells_.size() < pageRows_ * width) {
            cells_.clear(); // the last page was short: there is no more
            return cells_;
        } else {
            st.emplace(db_.prepare(next_));
            const std::size_t last = cells_.size() - width;
            for (std::size_t i = 0; i < plan_.key.size(); ++i) {
                const std::size_t column = plan_.key[i];
                bindCell(*st, static_cast<int>(i + 1), cells_[last + column], plan_.kinds[column]);
            }
        }
        started_ = true;
        cells_.clear();
        while (st->step()) {
            for (std::size_t c = 0; c < width; ++c) {
                const int column = static_cast<int>(c);
                Cell cell;
                cell.null = st->isNull(column);
                if (!cell.null && plan_.kinds[c] == ColumnKind::Integer)
                    cell.number = st->int64(column);
                else if (!cell.null && plan_.kinds[c] == ColumnKind::Octets)
                    cell.text = st->blob(column);
                else if (!cell.null)
                    cell.text = st->text(column);
                cells_.push_back(std::move(cell));
            }
        }
        return cells_;
    }

private:
    Database& db_;
    const TablePlan& plan_;
    std::size_t pageRows_;
    std::string select_;
    std::string next_;
    std::vector<Cell> cells_;
    bool started_ = false;
};

std::int64_t rowCount(Database& db, const std::string& table) {
    auto st = db.prepare("SELECT count(*) FROM " + quoted(table));
    st.step();
    return st.int64(0);
}

bool holdsRows(Database& db, const std::string& table) {
    std::string sql = "SELECT 1 FROM ";
    sql.append(quoted(table)).append(" LIMIT 1");
    auto st = db.prepare(sql);
    return st.step();
}

std::int64_t copyTable(Database& source, Database& target, const TablePlan& plan,
                       const MoveOptions& options) {
    const std::size_t width = plan.columns.size();
    // A page of a wide table holds fewer rows, so that what is held stays small.
    const std::size_t pageRows = std::clamp<std::size_t>(16000 / width, 1, options.pageRows);
    const std::int64_t total = rowCount(source, plan.name);
    std::string into = quoted(plan.name);
    into.append(" (").append(joined(plan.columns, allPositions(width))).append(")");

    PageReader reader(source, plan, pageRows);
    // The quickest way the target takes many rows (COPY on PostgreSQL).
    const auto loader = target.loadRows(into, static_cast<int>(width));
    std::int64_t copied = 0;
    for (;;) {
        const auto& cells = reader.next();
        if (cells.empty())
            break;
        const std::size_t rows = cells.size() / width;
        for (std::size_t i = 0; i < cells.size(); ++i)
            loadCell(*loader, cells[i], plan.kinds[i % width]);
        // Written before the next page takes the place of these cells.
        loader->finish();
        copied += static_cast<std::int64_t>(rows);
        if (options.progress)
            options.progress({plan.name, copied, total});
    }
    if (copied == 0 && options.progress)
        options.progress({plan.name, 0, total});
    return copied;
}

// New rows after the move take numbers past the moved ones.
void advanceIdentities(Database& target, const TablePlan& plan) {
    for (const std::string& column : plan.targetIdentities) {
        std::string sql = "SELECT setval(pg_get_serial_sequence(?1, ?2), max(";
        sql.append(quoted(column)).append(")) FROM ").append(quoted(plan.name));
        sql.append(" HAVING max(").append(quoted(column)).append(") IS NOT NULL");
        auto st = target.prepare(sql);
        st.bind(1, quoted(plan.name)).bind(2, column);
        st.run();
    }
}

// The source is read inside one snapshot, so that rows written to it
// meanwhile are all in or all out.
class ReadSnapshot {
public:
    explicit ReadSnapshot(Database& db) : db_(db) {
        db_.exec(db_.engine() == Engine::Postgres
                     ? "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"
                     : "BEGIN");
    }
    ~ReadSnapshot() {
        try {
            db_.exec("ROLLBACK");
        } catch (const StoreError&) {
            // Nothing was written; the connection closes soon after.
        }
    }
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    Database& db_;
};

void checkSource(Database& source) {
    const int version = schemaVersion(source);
    const int latest = latestSchemaVersion(source.engine());
    if (version == 0)
        throw MoveRefused("the source holds no orvane-server database");
    if (version > latest)
        throw MoveRefused("the source is at schema version " + std::to_string(version) +
                          ", made by a newer orvane-server than this one (version " +
                          std::to_string(latest) + ")");
    if (version < latest)
        throw MoveRefused("the source is at schema version " + std::to_string(version) +
                          " and this orvane-server's is " + std::to_string(latest) +
                          ": bring it up to date first with orvane-server init --db "
                          "and the source, which keeps its data");
    refuseUnknownTables(source);
}

// Answers the target's version; 0 when it has no schema yet.
int checkTarget(Database& target) {
    const auto tables = listTables(target);
    for (const std::string& table : tables)
        if (table != "schema_version" && holdsRows(target, table))
            throw MoveRefused("the target already holds data (table " + table +
                              " has rows): move only into a new, empty database");
    const int version = schemaVersion(target);
    const int latest = latestSchemaVersion(target.engine());
    if (version > latest)
        throw MoveRefused("the target is at schema version " + std::to_string(version) +
                          ", made by a newer orvane-server than this one (version " +
                          std::to_string(latest) + ")");
    if (version == 0 && !tables.empty())
        throw MoveRefused("the target has tables that are not orvane-server's (" +
                          tables.front() + "): move only into a new, empty database");
    return version;
}

} // namespace

std::span<const std::string_view> movedTables() { return Moved; }

std::span<const std::string_view> tablesLeftBehind() { return LeftBehind; }

std::span<const std::string_view> indexTables() { return IndexTables; }

MoveSummary moveDatabase(Database& source, Database& target, const MoveOptions& options) {
    ReadSnapshot snapshot(source);
    checkSource(source);
    const int targetVersion = checkTarget(target);

    MoveSummary summary;
    summary.schemaVersion = schemaVersion(source);
    summary.schemaCreated = targetVersion == 0;

    // SQLite takes its bulk settings outside a transaction only; PostgreSQL's
    // would let the commit return before the move is on disk.
    std::optional<BulkWrite> bulk;
    if (target.engine() == Engine::Sqlite)
        bulk.emplace(target);
    Transaction tx(target);
    // A server started on the target meanwhile waits, then finds it filled.
    takeSchemaTurn(target);
    for (const auto& migration : migrations(target.engine()))
        if (migration.version > targetVersion)
            applyMigration(target, migration);

    std::vector<TablePlan> plans;
    for (const std::string_view table : Moved)
        plans.push_back(planTable(source, target, table));
    for (const auto& plan : plans) {
        try {
            summary.tables.push_back({plan.name, copyTable(source, target, plan, options)});
        } catch (const StoreError& e) {
            throw StoreError("copying " + plan.name + ": " + e.what() +
                             "; nothing was moved");
        }
    }
    target.exec(indexRebuild(target.engine()));
    summary.tables.push_back({"catalogue_index", rowCount(target, "catalogue_index")});
    if (options.progress)
        options.progress({"catalogue_index", summary.tables.back().rows, summary.tables.back().rows});
    for (const auto& plan : plans) {
        if (target.engine() == Engine::Postgres) {
            advanceIdentities(target, plan);
            target.exec("ANALYZE " + quoted(plan.name));
        }
    }
    if (target.engine() == Engine::Postgres)
        target.exec("ANALYZE catalogue_postings");
    tx.commit();
    return summary;
}

} // namespace orvane::server
