#include "storage/server_connection.h"

#include "storage/postgres_connection.h"

namespace nivra {

std::unique_ptr<SqlConnection>
openServerConnection(const std::string& uri, int connectTimeoutSeconds, StorageResult& failure) {
    auto server = std::make_unique<PostgresConnection>();
    if (auto r = server->open(uri, connectTimeoutSeconds); !r) {
        failure = r;
        return nullptr;
    }
    return server;
}

} // namespace nivra
