#pragma once

#include <string>

namespace nivra::test {

// The connection URI of the test cluster the fixture pg_cluster started ("" without one).
std::string testClusterUri();

// A fresh database of its own on the test cluster for one test, dropped afterwards; uri() is ""
// when there is no test cluster.
class ServerDatabase {
public:
    ServerDatabase();
    ~ServerDatabase();
    ServerDatabase(const ServerDatabase&) = delete;
    ServerDatabase& operator=(const ServerDatabase&) = delete;

    const std::string& uri() const { return uri_; }

private:
    std::string name_;
    std::string uri_;
};

// A cluster of a test's own, which the test may stop and start again (a server that goes away
// in the middle of a run), removed with the object.
class PrivateCluster {
public:
    explicit PrivateCluster(const std::string& stateDir);
    ~PrivateCluster();
    PrivateCluster(const PrivateCluster&) = delete;
    PrivateCluster& operator=(const PrivateCluster&) = delete;

    const std::string& uri() const { return uri_; }
    bool pause();
    bool resume();

private:
    bool script(const std::string& action);

    std::string state_;
    std::string uri_;
};

} // namespace nivra::test
