#include "cli/program_arguments.h"

#include "base/windows_text.h"

#include <windows.h>

#include <shellapi.h>

namespace nivra::cli {

std::vector<std::string> programArguments(int argc, char** argv) {
    ::SetConsoleOutputCP(CP_UTF8);
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide || count != argc) {
        if (wide)
            ::LocalFree(wide);
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(utf8FromWide(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

} // namespace nivra::cli
