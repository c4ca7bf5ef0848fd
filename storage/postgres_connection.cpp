#include "storage/postgres_connection.h"

#include <cstdio>
#include <cstdlib>

namespace nivra {

namespace {

// The oids of the server's types int8, float8 and text.
constexpr unsigned kInt8Type = 20;
constexpr unsigned kFloat8Type = 701;
constexpr unsigned kTextType = 25;

PostgresDatabase::Param serverParam(const SqlValue& value) {
    PostgresDatabase::Param param;
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        param.text = std::to_string(*number);
        param.type = kInt8Type;
    } else if (const auto* real = std::get_if<double>(&value)) {
        char text[40];
        // Enough digits that the server reads back the very same double.
        std::snprintf(text, sizeof text, "%.17g", *real);
        param.text = text;
        param.type = kFloat8Type;
    } else if (const auto* string = std::get_if<std::string>(&value)) {
        param.text = *string;
        param.type = kTextType;
    }
    return param;
}

class ServerRow final : public SqlRow {
public:
    ServerRow(const PostgresResult& result, int row) : result_(result), row_(row) {}
    bool isNull(int column) const override { return result_.isNull(row_, column); }
    std::int64_t int64(int column) const override {
        return std::strtoll(result_.value(row_, column), nullptr, 10);
    }
    double real(int column) const override {
        return std::strtod(result_.value(row_, column), nullptr);
    }
    std::string text(int column) const override { return result_.value(row_, column); }

private:
    const PostgresResult& result_;
    int row_;
};

} // namespace

std::string PostgresConnection::serverParameters(std::string_view sql) {
    std::string out;
    out.reserve(sql.size());
    bool quoted = false;
    for (char c : sql) {
        if (c == '\'')
            quoted = !quoted;
        out += (c == '?' && !quoted) ? '$' : c;
    }
    return out;
}

StorageResult PostgresConnection::open(const std::string& uri, int connectTimeoutSeconds) {
    return db_.open(uri, connectTimeoutSeconds);
}

StorageResult PostgresConnection::execute(std::string_view script) {
    return db_.execute(std::string(script));
}

StorageResult PostgresConnection::executeAtomically(const std::string& script) {
    // The server runs the commands of one message in one transaction.
    return db_.execute(script);
}

StorageResult PostgresConnection::query(std::string_view sql, const std::vector<SqlValue>& params,
                                        const RowHandler& onRow) {
    auto found = translated_.find(sql);
    if (found == translated_.end())
        found = translated_.emplace(std::string(sql), serverParameters(sql)).first;
    std::vector<PostgresDatabase::Param> serverParams;
    serverParams.reserve(params.size());
    for (const SqlValue& value : params)
        serverParams.push_back(serverParam(value));
    PostgresResult result;
    if (auto r = db_.run(found->second, serverParams, result); !r)
        return r;
    if (onRow)
        for (int row = 0; row < result.rows(); ++row)
            onRow(ServerRow(result, row));
    return {};
}

StorageResult PostgresConnection::begin() {
    return db_.execute("BEGIN");
}

StorageResult PostgresConnection::beginRead() {
    return db_.execute("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
}

StorageResult PostgresConnection::commit() {
    return db_.execute("COMMIT");
}

void PostgresConnection::rollback() {
    db_.execute("ROLLBACK");
}

} // namespace nivra
