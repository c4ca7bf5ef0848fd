#include "support/pg_test_server.h"

#include "storage/postgres_database.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace nivra::test {

namespace {

std::string firstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// The URI with another database: postgresql:///NAME?...
std::string withDatabase(const std::string& uri, const std::string& name) {
    const std::size_t start = uri.find("///");
    const std::size_t query = uri.find('?');
    if (start == std::string::npos || query == std::string::npos)
        return {};
    return uri.substr(0, start + 3) + name + uri.substr(query);
}

bool runOnCluster(const std::string& sql) {
    PostgresDatabase db;
    return db.open(testClusterUri(), 10) && db.execute(sql);
}

} // namespace

std::string testClusterUri() {
    if (const char* uri = std::getenv("NIVRA_TEST_PG_URI"); uri && *uri)
        return uri;
    return firstLine(std::string(NIVRA_PG_TEST_STATE) + "/uri");
}

ServerDatabase::ServerDatabase() {
    if (testClusterUri().empty())
        return;
    static std::atomic<int> serial{0};
    name_ = "nivra_" + std::to_string(::getpid()) + "_" + std::to_string(++serial);
    if (runOnCluster("CREATE DATABASE " + name_))
        uri_ = withDatabase(testClusterUri(), name_);
}

ServerDatabase::~ServerDatabase() {
    if (!uri_.empty())
        runOnCluster("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
}

PrivateCluster::PrivateCluster(const std::string& stateDir) : state_(stateDir) {
    if (script("start"))
        uri_ = firstLine(state_ + "/uri");
}

PrivateCluster::~PrivateCluster() {
    script("stop");
}

bool PrivateCluster::script(const std::string& action) {
    const std::string command = "bash '" NIVRA_SOURCE_DIR "/tests/storage/pg_test_cluster.sh' " +
                                action + " '" + state_ + "' >/dev/null";
    return std::system(command.c_str()) == 0;
}

bool PrivateCluster::pause() {
    return script("pause");
}

bool PrivateCluster::resume() {
    return script("resume");
}

} // namespace nivra::test
