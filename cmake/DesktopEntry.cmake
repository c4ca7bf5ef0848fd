# Writes the desktop entry at install time, when the prefix the files land in is known (it may
# differ from the configured one: cmake --install --prefix, or a package staged with DESTDIR).
# Exec and TryExec need absolute paths, because the launcher lies outside PATH.
#
# Expects: NIVRA_DESKTOP_TEMPLATE, NIVRA_DESKTOP_OUTPUT, NIVRA_LAUNCHER_DESTINATION (the launcher's
# install path) and NIVRA_PROGRAM_DESTINATION (the program's), each relative to the prefix or
# absolute.

function(nivra_installed_path destination out_var)
    if(IS_ABSOLUTE "${destination}")
        set(${out_var} "${destination}" PARENT_SCOPE)
    else()
        set(${out_var} "${CMAKE_INSTALL_PREFIX}/${destination}" PARENT_SCOPE)
    endif()
endfunction()

# A path as one argument of an Exec line: quoted, with the characters that are special inside
# quotes escaped and a per cent sign doubled, when it holds anything but plain path characters. The desktop entry format
# doubles every backslash once more when the value is read, hence the double escaping.
function(nivra_desktop_exec_argument path out_var)
    if(path MATCHES "^[A-Za-z0-9/._+-]+$")
        set(${out_var} "${path}" PARENT_SCOPE)
    else()
        string(REPLACE "\\" "\\\\\\\\" quoted "${path}")
        string(REPLACE "\"" "\\\\\"" quoted "${quoted}")
        string(REPLACE "`" "\\\\`" quoted "${quoted}")
        string(REPLACE "$" "\\\\$" quoted "${quoted}")
        string(REPLACE "%" "%%" quoted "${quoted}")
        set(${out_var} "\"${quoted}\"" PARENT_SCOPE)
    endif()
endfunction()

nivra_installed_path("${NIVRA_LAUNCHER_DESTINATION}" launcher)
nivra_installed_path("${NIVRA_PROGRAM_DESTINATION}" program)
nivra_desktop_exec_argument("${launcher}" NIVRA_DESKTOP_EXEC)
# TryExec is a plain string value, not an Exec line: only the value escapes apply.
string(REPLACE "\\" "\\\\" NIVRA_DESKTOP_TRYEXEC "${program}")
configure_file("${NIVRA_DESKTOP_TEMPLATE}" "${NIVRA_DESKTOP_OUTPUT}" @ONLY)
