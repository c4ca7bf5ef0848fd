#pragma once

#include "engine/run_environment.h"
#include "model/class_decision.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Runs that end once they are decided: after every closed point from the second on, the verdict
// of all points so far against the customer's class limit (the assessment's default
// probabilities); the first verdict below or above ends the run at that point, and the record's
// last header line says so: "Decided below 0.05 at 12/10/26 05:30:12".
namespace nivra {

class AssayData;

// The beginning of the line that closes the header lines of a run that ended when decided.
inline constexpr const char* kDecidedPrefix = "Decided ";

// The verdict of the record's points so far; undecided before the second point.
ClassVerdict runVerdict(const AssayData& data, double limit);

// "Decided <verdict> <limit> at <time>": the limit "%.6g", the time in local time as the other
// header time stamps are written.
std::string decisionLine(ClassVerdict verdict, double limit, std::int64_t time);

// The verdict a record's last header line names when it is a decision line.
std::optional<ClassVerdict> decidedVerdict(const std::vector<std::string>& headerLines);

// The end check of a run that stops when decided: it judges against the record's class limit as
// it is at each point, so that a limit the operator types during the run is the one that stops
// it; without a limit the run goes on.
RunEnvironment::EndCheck stopWhenDecided();

} // namespace nivra
