#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

// Numbers and times in the files are written and read in the C locale ("1.5", never "1,5"),
// whatever locale the process was given (the window's toolkit sets the user's).
namespace nivra {

// Switches the calling thread to the C locale for the life of the object.
class ClassicLocaleScope {
public:
    ClassicLocaleScope();
    ~ClassicLocaleScope();
    ClassicLocaleScope(const ClassicLocaleScope&) = delete;
    ClassicLocaleScope& operator=(const ClassicLocaleScope&) = delete;

private:
    std::uintptr_t previous_ = 0; // the thread's locale object before
    int mode_ = 0;                // the thread's locale mode before, where the system has modes
    std::string name_;            // the thread's locale name before, where it is set by name
};

// std::strtod in the C locale.
double readRealClassic(const char* text, char** end);

// std::strftime in the C locale.
std::size_t formatTimeClassic(char* buffer, std::size_t size, const char* format,
                              const std::tm& time);

} // namespace nivra
