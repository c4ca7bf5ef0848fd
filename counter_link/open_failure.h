#pragma once

// Why a counter port could not be opened. Discovery passes it on so that a user whose counters
// are not found can be told what is wrong with each device name (nivra-cli discover).
namespace nivra {

enum class OpenFailure {
    kNone,             // the port is open
    kNotFound,         // no device file of that name
    kNoDevice,         // the device file exists but no hardware is behind it
    kPermissionDenied, // the user may not open the device
    kNotATerminal,     // the name is a regular file, a directory, a pipe or a non-tty device
    kBusy,             // another port object or program holds the device
    kSetupFailed,      // the line settings could not be applied
    kLockUnavailable,  // the shared "Com Mutex" lock file could not be opened
};

// A short lower-case phrase for messages: "does not exist", "busy (held by another program)", ...
const char* describeOpenFailure(OpenFailure failure);

} // namespace nivra
