#pragma once

#include "storage/history_database.h"

#include <cstddef>
#include <string>

namespace nivra {

// What a delivery of the local spool did: runs sent to the history and removed from the spool,
// runs still in it, and why the rest could not be sent ("" when all were).
struct SpoolDelivery {
    std::size_t delivered = 0;
    std::size_t left = 0;
    std::string problem;
};

// Sends the runs held in the spool file at spoolPath to target, oldest first, removing each from
// the spool once target holds it. A run sent twice (a program stopped between the two steps) is
// recognised by its key, so every point reaches target once. Without a spool file nothing
// happens.
SpoolDelivery deliverSpool(HistoryDatabase& target, const std::string& spoolPath);

} // namespace nivra
