#pragma once

#include "storage/sql_connection.h"
#include "storage/storage_result.h"

#include <memory>
#include <string>

namespace nivra {

// Opens the history's SQL on a server named by a connection URI, waiting at most
// connectTimeoutSeconds for it to answer; nullptr with the reason in failure when that fails,
// or when this build has no connection to a server at all.
std::unique_ptr<SqlConnection>
openServerConnection(const std::string& uri, int connectTimeoutSeconds, StorageResult& failure);

} // namespace nivra
