#include "support/pg_test_server.h"

// A build without a server connection has no test cluster: the tests against a server skip.
namespace nivra::test {

std::string testClusterUri() {
    return {};
}

ServerDatabase::ServerDatabase() = default;

ServerDatabase::~ServerDatabase() = default;

PrivateCluster::PrivateCluster(const std::string& stateDir) : state_(stateDir) {}

PrivateCluster::~PrivateCluster() = default;

bool PrivateCluster::script(const std::string&) {
    return false;
}

bool PrivateCluster::pause() {
    return false;
}

bool PrivateCluster::resume() {
    return false;
}

} // namespace nivra::test
