#include "storage/postgres_database.h"

#include <libpq-fe.h>

namespace nivra {

namespace {

// libpq's messages end in a line break; the history's messages are single lines.
std::string oneLine(const char* message) {
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    for (char& c : text)
        if (c == '\n')
            c = ' ';
    return text.empty() ? std::string("no answer from the history server") : text;
}

} // namespace

// --- PostgresResult -----------------------------------------------------------------------------

void PostgresResult::Clear::operator()(pg_result* result) const {
    PQclear(result);
}

PostgresResult::PostgresResult(pg_result* result) : result_(result) {}

int PostgresResult::rows() const {
    return result_ ? PQntuples(result_.get()) : 0;
}

bool PostgresResult::isNull(int row, int column) const {
    return !result_ || PQgetisnull(result_.get(), row, column) != 0;
}

const char* PostgresResult::value(int row, int column) const {
    return result_ ? PQgetvalue(result_.get(), row, column) : "";
}

// --- PostgresDatabase ---------------------------------------------------------------------------

void PostgresDatabase::Finish::operator()(pg_conn* conn) const {
    PQfinish(conn);
}

PostgresDatabase::~PostgresDatabase() = default;

void PostgresDatabase::close() {
    conn_.reset();
}

StorageResult PostgresDatabase::open(const std::string& uri, int connectTimeoutSeconds) {
    close();
    // The URI is expanded in place of dbname; a connect_timeout it names itself comes later and
    // so wins over this default.
    const std::string timeout = std::to_string(connectTimeoutSeconds);
    const char* keywords[] = {"connect_timeout", "dbname", nullptr};
    const char* values[] = {timeout.c_str(), uri.c_str(), nullptr};
    conn_.reset(PQconnectdbParams(keywords, values, 1));
    if (!conn_)
        return StorageResult::failure("out of memory");
    if (PQstatus(conn_.get()) != CONNECTION_OK) {
        std::string reason = oneLine(PQerrorMessage(conn_.get()));
        close();
        return StorageResult::failure(reason);
    }
    // The server's notices (such as "relation already exists, skipping") are not for operators.
    PQsetNoticeProcessor(
        conn_.get(), [](void*, const char*) {}, nullptr);
    return {};
}

bool PostgresDatabase::isBroken() const {
    return !conn_ || PQstatus(conn_.get()) != CONNECTION_OK;
}

StorageResult PostgresDatabase::check(pg_result* raw, PostgresResult& out) {
    out = PostgresResult(raw);
    const ExecStatusType status = raw ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return {};
    return StorageResult::failure(
        oneLine(raw ? PQresultErrorMessage(raw) : PQerrorMessage(conn_.get())));
}

StorageResult PostgresDatabase::execute(const std::string& script) {
    if (!conn_)
        return StorageResult::failure("not connected to the history server");
    PostgresResult result;
    return check(PQexec(conn_.get(), script.c_str()), result);
}

StorageResult PostgresDatabase::run(const std::string& sql, const std::vector<Param>& params,
                                    PostgresResult& out) {
    if (!conn_)
        return StorageResult::failure("not connected to the history server");
    std::vector<const char*> values;
    std::vector<Oid> types;
    for (const Param& param : params) {
        values.push_back(param.text ? param.text->c_str() : nullptr);
        types.push_back(param.type);
    }
    return check(PQexecParams(conn_.get(), sql.c_str(), static_cast<int>(params.size()),
                              types.data(), values.data(), nullptr, nullptr, 0),
                 out);
}

} // namespace nivra
