#include "storage/server_connection.h"

namespace nivra {

// A build without libpq (the Windows program) keeps its run history in SQLite files only: a
// server location is refused with a reason the operator can act on, never taken as a file name.
std::unique_ptr<SqlConnection> openServerConnection(const std::string&, int,
                                                    StorageResult& failure) {
    failure = StorageResult::failure(
        "this build of Nivra-USB keeps the run history in an SQLite file only; a PostgreSQL "
        "server cannot be used as its location");
    return nullptr;
}

} // namespace nivra
