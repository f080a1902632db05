#include "postgres_database.h"

#include <cctype>
#include <charconv>
#include <cstring>
#include <libpq-fe.h>
#include <mutex>

namespace orvane::server {

// The connection, shared by the database and its compiled statements, which
// may outlive it: they name the prepared statements to free once done.
struct PostgresSession {
    PGconn* conn = nullptr;
    std::uint64_t nextName = 1;
    std::vector<std::string> stale;
    // During a bulk write, writes that return no rows are sent without
    // waiting for their answers (libpq's pipeline), and the answers read
    // before anything else runs: a round trip saved per write.
    bool sendWritesAhead = false;
    int changes = 0; // rows the last write touched

    // Reads the answers of the writes sent ahead; throws the first failure.
    void settle();
    void noteChanges(const PGresult* result);

    ~PostgresSession() {
        if (conn)
            PQfinish(conn);
    }
    // Frees statements no longer kept, a batch at a time, when the connection
    // is not inside a failed transaction (which refuses everything).
    void freeStale() {
        if (stale.size() < 32 || !conn)
            return;
        const auto state = PQtransactionStatus(conn);
        if (state != PQTRANS_IDLE && state != PQTRANS_INTRANS)
            return;
        std::string sql;
        for (const std::string& name : stale)
            sql.append("DEALLOCATE ").append(name).append(";");
        stale.clear();
        PQclear(PQexec(conn, sql.c_str()));
    }
};

namespace {

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

} // namespace

void PostgresSession::settle() {
    if (!conn || PQpipelineStatus(conn) == PQ_PIPELINE_OFF)
        return;
    std::string failure;
    if (PQpipelineSync(conn) != 1)
        failure = PQerrorMessage(conn);
    // Each write's answer is followed by a null, and the sync's answer ends
    // them all; two nulls in a row mean nothing more comes (a lost connection).
    bool lastWasNull = false;
    while (failure.empty() || PQstatus(conn) == CONNECTION_OK) {
        PGresult* result = PQgetResult(conn);
        if (!result) {
            if (lastWasNull)
                break;
            lastWasNull = true;
            continue;
        }
        lastWasNull = false;
        const auto status = PQresultStatus(result);
        if (status == PGRES_FATAL_ERROR && failure.empty())
            failure = PQresultErrorMessage(result);
        else if (status == PGRES_COMMAND_OK)
            noteChanges(result);
        PQclear(result);
        if (status == PGRES_PIPELINE_SYNC)
            break;
    }
    PQexitPipelineMode(conn);
    if (!failure.empty()) {
        while (!failure.empty() && (failure.back() == '\n' || failure.back() == ' '))
            failure.pop_back();
        throw StoreError("step: " + failure);
    }
}

void PostgresSession::noteChanges(const PGresult* result) {
    auto* r = const_cast<PGresult*>(result);
    const std::string_view command(PQcmdStatus(r));
    if (command.starts_with("INSERT") || command.starts_with("UPDATE") ||
        command.starts_with("DELETE"))
        changes = std::atoi(PQcmdTuples(r));
}

namespace {

Result wrap(PGresult* r) {
    return Result(r, &PQclear);
}

[[noreturn]] void fail(PGconn* conn, const PGresult* result, std::string_view what,
                       std::string_view sql = {}) {
    const char* message = result ? PQresultErrorMessage(result) : nullptr;
    if (!message || !*message)
        message = PQerrorMessage(conn);
    std::string text(what);
    text.append(": ").append(message);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    if (!sql.empty())
        text.append(" (in ").append(sql.substr(0, 200)).append(")");
    throw StoreError(text);
}

bool succeeded(const PGresult* r) {
    const auto s = PQresultStatus(r);
    return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK || s == PGRES_EMPTY_QUERY;
}

constexpr Oid ByteaOid = 17;
constexpr Oid BoolOid = 16;

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

// bytea's text form: "\x" and two hex digits an octet.
std::string fromHex(const char* text, std::size_t length) {
    if (length < 2 || text[0] != '\\' || text[1] != 'x')
        return std::string(text, length);
    std::string out((length - 2) / 2, '\0');
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char>(hexValue(text[2 + 2 * i]) * 16 + hexValue(text[3 + 2 * i]));
    return out;
}

class PostgresStatement final : public CompiledStatement {
public:
    PostgresStatement(std::shared_ptr<PostgresSession> session, std::string_view sql)
        : session_(std::move(session)), sql_(sql) {
        int parameters = 0;
        const std::string translated = postgresPlaceholders(sql, parameters);
        name_.append("o").append(std::to_string(session_->nextName++));
        session_->settle();
        session_->freeStale();
        auto prepared =
            wrap(PQprepare(session_->conn, name_.c_str(), translated.c_str(), 0, nullptr));
        if (!prepared || !succeeded(prepared.get()))
            fail(session_->conn, prepared.get(), "prepare", sql_);
        returnsNothing_ = writesOnly(sql);
        values_.resize(static_cast<std::size_t>(parameters));
        bound_.assign(values_.size(), false);
        formats_.assign(values_.size(), 0);
    }
    ~PostgresStatement() override { session_->stale.push_back(std::move(name_)); }

    const std::string& sql() const override { return sql_; }

    void bindInt(int index, std::int64_t value) override {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        slot(index, 0).assign(digits, end);
    }
    void bindText(int index, std::string_view value) override { slot(index, 0).assign(value); }
    void bindBlob(int index, std::string_view octets) override { slot(index, 1).assign(octets); }
    void bindNull(int index) override {
        slot(index, 0).clear();
        bound_[static_cast<std::size_t>(index - 1)] = false;
    }

    bool step() override {
        if (!result_) {
            execute();
            row_ = 0;
        } else {
            ++row_;
        }
        if (row_ < PQntuples(result_.get()))
            return true;
        // Run again by the next step, as SQLite does.
        result_.reset();
        return false;
    }
    void reset() override {
        result_.reset();
        bound_.assign(bound_.size(), false);
    }

    std::int64_t int64(int column) const override {
        const char* v = PQgetvalue(result_.get(), row_, column);
        if (PQftype(result_.get(), column) == BoolOid)
            return *v == 't' ? 1 : 0;
        std::int64_t n = 0;
        std::from_chars(v, v + std::strlen(v), n);
        return n;
    }
    std::string text(int column) const override {
        const char* v = PQgetvalue(result_.get(), row_, column);
        const auto length = static_cast<std::size_t>(PQgetlength(result_.get(), row_, column));
        if (PQftype(result_.get(), column) == ByteaOid)
            return fromHex(v, length);
        return std::string(v, length);
    }
    std::string blob(int column) const override { return text(column); }
    bool isNull(int column) const override { return PQgetisnull(result_.get(), row_, column); }

private:
    std::string& slot(int index, int format) {
        if (index < 1 || static_cast<std::size_t>(index) > values_.size())
            throw StoreError("bind: no placeholder " + std::to_string(index) + " in " + sql_);
        // A new round of binding after the statement ran.
        if (result_)
            result_.reset();
        const auto i = static_cast<std::size_t>(index - 1);
        bound_[i] = true;
        formats_[i] = format;
        return values_[i];
    }

    void execute() {
        std::vector<const char*> values(values_.size());
        std::vector<int> lengths(values_.size());
        for (std::size_t i = 0; i < values_.size(); ++i) {
            values[i] = bound_[i] ? values_[i].data() : nullptr;
            lengths[i] = static_cast<int>(values_[i].size());
        }
        if (session_->sendWritesAhead && returnsNothing_) {
            // Its answer is read with the others' before anything else runs.
            if (PQpipelineStatus(session_->conn) == PQ_PIPELINE_OFF &&
                PQenterPipelineMode(session_->conn) != 1)
                fail(session_->conn, nullptr, "step", sql_);
            if (PQsendQueryPrepared(session_->conn, name_.c_str(), static_cast<int>(values.size()),
                                    values.data(), lengths.data(), formats_.data(), 0) != 1)
                fail(session_->conn, nullptr, "step", sql_);
            return;
        }
        session_->settle();
        result_ =
            wrap(PQexecPrepared(session_->conn, name_.c_str(), static_cast<int>(values.size()),
                                values.data(), lengths.data(), formats_.data(), 0));
        if (!result_ || !succeeded(result_.get())) {
            Result failed = std::move(result_);
            fail(session_->conn, failed.get(), "step", sql_);
        }
        session_->noteChanges(result_.get());
    }

    // An INSERT, UPDATE or DELETE without RETURNING: no rows to wait for.
    static bool writesOnly(std::string_view sql) {
        std::string upper;
        for (const char c : sql)
            upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        const std::string_view text = std::string_view(upper).substr(
            std::min(upper.size(), upper.find_first_not_of(" \t\n")));
        return (text.starts_with("INSERT") || text.starts_with("UPDATE") ||
                text.starts_with("DELETE")) &&
               text.find("RETURNING") == std::string_view::npos;
    }

    std::shared_ptr<PostgresSession> session_;
    std::string sql_;
    bool returnsNothing_ = false;
    std::string name_;
    std::vector<std::string> values_;
    std::vector<bool> bound_;
    std::vector<int> formats_;
    Result result_{nullptr, &PQclear};
    int row_ = 0;
};

void ignoreNotice(void*, const char*) {}

} // namespace

std::string postgresPlaceholders(std::string_view sql, int& parameters) {
    std::string out;
    out.reserve(sql.size() + 16);
    parameters = 0;
    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            const std::size_t close = sql.find(c, i + 1);
            const std::size_t end = close == std::string_view::npos ? sql.size() : close + 1;
            out.append(sql.substr(i, end - i));
            i = end;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            const std::size_t eol = sql.find('\n', i);
            const std::size_t end = eol == std::string_view::npos ? sql.size() : eol;
            out.append(sql.substr(i, end - i));
            i = end;
        } else if (c == '?') {
            std::size_t j = i + 1;
            int number = 0;
            while (j < sql.size() && sql[j] >= '0' && sql[j] <= '9')
                number = number * 10 + (sql[j++] - '0');
            if (j == i + 1)
                number = parameters + 1;
            parameters = std::max(parameters, number);
            out.append("$").append(std::to_string(number));
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

PostgresDatabase::PostgresDatabase(const std::string& url)
    : session_(std::make_shared<PostgresSession>()) {
    session_->conn = PQconnectdb(url.c_str());
    if (!session_->conn || PQstatus(session_->conn) != CONNECTION_OK) {
        std::string message = session_->conn ? PQerrorMessage(session_->conn) : "out of memory";
        while (!message.empty() && message.back() == '\n')
            message.pop_back();
        throw StoreError("cannot open database " + printableLocation(url) + ": " + message);
    }
    PQsetNoticeProcessor(session_->conn, &ignoreNotice, nullptr);
    exec("SET client_encoding = 'UTF8'");
}

PostgresDatabase::~PostgresDatabase() {
    closeStatements();
}

std::unique_ptr<CompiledStatement> PostgresDatabase::compile(std::string_view sql) {
    return std::make_unique<PostgresStatement>(session_, sql);
}

void PostgresDatabase::exec(std::string_view sql) {
    if (sql.starts_with("ROLLBACK")) {
        try {
            session_->settle();
        } catch (const StoreError&) {
            // Undone by this rollback, whatever their answers.
        }
    } else {
        session_->settle();
    }
    auto result = wrap(PQexec(session_->conn, std::string(sql).c_str()));
    if (!result || !succeeded(result.get()))
        fail(session_->conn, result.get(), "exec");
    // A COMMIT of a transaction a failed statement ended rolls it back.
    if (sql == "COMMIT" && std::strcmp(PQcmdStatus(result.get()), "ROLLBACK") == 0)
        throw StoreError("exec: the transaction failed and was rolled back");
    session_->noteChanges(result.get());
}

namespace {

// Rows by COPY, in its text form: values apart by tabs, rows by new lines,
// a backslash before what would be read otherwise. Sent a megabyte at a
// time; the COPY starts with the first row.
class CopyRowLoader final : public RowLoader {
public:
    CopyRowLoader(std::shared_ptr<PostgresSession> session, std::string_view into, int columns)
        : session_(std::move(session)), into_(into), columns_(columns) {}
    ~CopyRowLoader() override {
        // Given up half way (an error): the COPY is ended, and rolled back
        // with the transaction, so that the connection can go on.
        if (copying_ && PQputCopyEnd(session_->conn, "abandoned") == 1)
            while (PGresult* r = PQgetResult(session_->conn))
                PQclear(r);
    }

    void add(std::int64_t value) override {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        separate();
        buffer_.append(digits, end);
        ended();
    }
    void add(std::string_view text) override {
        separate();
        for (const char c : text) {
            switch (c) {
            case '\\':
                buffer_ += "\\\\";
                break;
            case '\t':
                buffer_ += "\\t";
                break;
            case '\n':
                buffer_ += "\\n";
                break;
            case '\r':
                buffer_ += "\\r";
                break;
            default:
                buffer_ += c;
            }
        }
        ended();
    }
    void addOctets(std::string_view octets) override {
        // bytea's hex form, its backslash doubled for COPY.
        static constexpr char Hex[] = "0123456789abcdef";
        separate();
        buffer_ += "\\\\x";
        for (const char c : octets) {
            const auto octet = static_cast<unsigned char>(c);
            buffer_ += Hex[octet >> 4];
            buffer_ += Hex[octet & 15];
        }
        ended();
    }
    void addNull() override {
        separate();
        buffer_ += "\\N";
        ended();
    }
    void finish() override {
        if (!copying_ && buffer_.empty())
            return;
        send();
        copying_ = false;
        if (PQputCopyEnd(session_->conn, nullptr) != 1)
            fail(session_->conn, nullptr, "copy");
        auto result = wrap(PQgetResult(session_->conn));
        const bool ok = result && PQresultStatus(result.get()) == PGRES_COMMAND_OK;
        while (PGresult* r = PQgetResult(session_->conn))
            PQclear(r);
        if (!ok)
            fail(session_->conn, result.get(), "copy", into_);
    }

private:
    void separate() {
        if (column_ > 0)
            buffer_ += '\t';
    }
    void ended() {
        if (++column_ < columns_)
            return;
        column_ = 0;
        buffer_ += '\n';
        if (buffer_.size() >= (1U << 20))
            send();
    }
    void send() {
        if (!copying_) {
            session_->settle();
            std::string sql = "COPY ";
            sql.append(into_).append(" FROM STDIN");
            auto result = wrap(PQexec(session_->conn, sql.c_str()));
            if (!result || PQresultStatus(result.get()) != PGRES_COPY_IN)
                fail(session_->conn, result.get(), "copy", sql);
            copying_ = true;
        }
        if (!buffer_.empty() &&
            PQputCopyData(session_->conn, buffer_.data(), static_cast<int>(buffer_.size())) != 1)
            fail(session_->conn, nullptr, "copy");
        buffer_.clear();
    }

    std::shared_ptr<PostgresSession> session_;
    std::string into_;
    int columns_;
    int column_ = 0;
    bool copying_ = false;
    std::string buffer_;
};

} // namespace

std::unique_ptr<RowLoader> PostgresDatabase::loadRows(std::string_view into, int columns) {
    return std::make_unique<CopyRowLoader>(session_, into, columns);
}

std::int64_t PostgresDatabase::lastInsertId() {
    auto st = prepare("SELECT lastval()");
    if (!st.step())
        throw StoreError("lastval: no row");
    return st.int64(0);
}

int PostgresDatabase::changes() const {
    session_->settle();
    return session_->changes;
}

void PostgresDatabase::sendWritesAhead(bool ahead) {
    // Turned off, the answers still owed are read by the next statement.
    session_->sendWritesAhead = ahead;
}

void PostgresDatabase::completeWrites() {
    session_->settle();
}

void PostgresDatabase::beginWrite() {
    exec("BEGIN");
}

// A commit need not wait for the disk during an import: a crash loses the
// last batches, which the import reports as not done.
void PostgresDatabase::enterBulkWrite() {
    exec("SET synchronous_commit = off");
    session_->sendWritesAhead = true;
}

void PostgresDatabase::leaveBulkWrite() {
    session_->sendWritesAhead = false;
    try {
        exec("SET synchronous_commit = on");
    } catch (const StoreError&) {
        // Kept for this connection; every commit is still atomic.
    }
}

} // namespace orvane::server
