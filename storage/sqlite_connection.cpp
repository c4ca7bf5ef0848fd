#include "storage/sqlite_connection.h"

namespace nivra {

namespace {

class SqliteRow final : public SqlRow {
public:
    explicit SqliteRow(const SqliteStatement& statement) : statement_(statement) {}
    bool isNull(int column) const override { return statement_.isNull(column); }
    std::int64_t int64(int column) const override { return statement_.int64(column); }
    double real(int column) const override { return statement_.real(column); }
    std::string text(int column) const override { return statement_.text(column); }

private:
    const SqliteStatement& statement_;
};

} // namespace

StorageResult SqliteConnection::open(const std::string& path, int busyMilliseconds) {
    statements_.clear();
    return db_.open(path, SqliteDatabase::Mode::ReadWriteCreate, busyMilliseconds);
}

StorageResult SqliteConnection::execute(std::string_view script) {
    // A schema step changes tables that kept statements may refer to.
    statements_.clear();
    return db_.execute(script);
}

StorageResult SqliteConnection::executeAtomically(const std::string& script) {
    if (auto r = begin(); !r)
        return r;
    if (auto r = db_.execute(script); !r) {
        rollback();
        return r;
    }
    if (auto r = commit(); !r) {
        rollback();
        return r;
    }
    return {};
}

StorageResult SqliteConnection::query(std::string_view sql, const std::vector<SqlValue>& params,
                                      const RowHandler& onRow) {
    auto found = statements_.find(sql);
    if (found == statements_.end()) {
        SqliteStatement statement;
        if (auto r = db_.prepare(sql, statement); !r)
            return r;
        found = statements_.emplace(std::string(sql), std::move(statement)).first;
    }
    SqliteStatement& statement = found->second;
    for (std::size_t i = 0; i < params.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        std::visit(
            [&](const auto& value) {
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, std::monostate>)
                    statement.bindNull(index);
                else
                    statement.bind(index, value);
            },
            params[i]);
    }
    const SqliteRow row(statement);
    SqliteStatement::Step step;
    while ((step = statement.step()) == SqliteStatement::Step::Row)
        if (onRow)
            onRow(row);
    const std::string error = statement.error();
    statement.reset();
    return step == SqliteStatement::Step::Done ? StorageResult() : StorageResult::failure(error);
}

StorageResult SqliteConnection::begin() {
    // IMMEDIATE takes the write lock at the start, so that a transaction never fails half-way
    // because another program began writing in between.
    return db_.execute("BEGIN IMMEDIATE");
}

StorageResult SqliteConnection::beginRead() {
    return db_.execute("BEGIN");
}

StorageResult SqliteConnection::commit() {
    return db_.execute("COMMIT");
}

void SqliteConnection::rollback() {
    db_.execute("ROLLBACK");
}

} // namespace nivra
