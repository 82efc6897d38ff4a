# Install-time part of the disc bundle (component "disc", see packaging/CMakeLists.txt). The
# program, its plugins and qt.conf are in place in .linux when this runs; this script adds the
# libraries they need, their run paths, the C and C++ run-time and autorun.sh.
#
# Set by the install rule before it runs: AUTORUN_BUNDLE_PLUGINS (the plugins, relative to the
# prefix), AUTORUN_BUNDLE_EXCLUDE_FILE, AUTORUN_BUNDLE_SCRIPT_TEMPLATE, AUTORUN_PATCHELF,
# AUTORUN_OBJDUMP, AUTORUN_LIBC_DIR.

cmake_policy(PUSH)
cmake_policy(VERSION 3.25)

set(disc "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(bundle "${disc}/.linux")
set(program "${bundle}/autorun")

foreach(tool AUTORUN_PATCHELF AUTORUN_OBJDUMP)
    if(NOT ${tool} OR NOT EXISTS "${${tool}}")
        message(FATAL_ERROR "The disc bundle needs ${tool} (scripts/install-deps.sh installs it)")
    endif()
endforeach()

# The exclusion list: names left to the system, and the run-time names among them.
set(system_regexes)
set(runtime_names)
file(STRINGS "${AUTORUN_BUNDLE_EXCLUDE_FILE}" lines REGEX "^[^#]")
foreach(line IN LISTS lines)
    if(NOT line MATCHES "^([^ \t]+)([ \t]+runtime)?[ \t]*$")
        continue()
    endif()
    set(name "${CMAKE_MATCH_1}")
    set(runtime "${CMAKE_MATCH_2}")
    string(REGEX REPLACE "([.+])" "\\\\\\1" regex "${name}")
    string(REPLACE "*" ".*" regex "${regex}")
    if(runtime AND NOT name MATCHES "[*]")
        list(APPEND runtime_names "${name}")
    endif()
    # The C++ run-time is bundled like any library, then moved apart below.
    if(NOT name MATCHES "^lib(stdc[+][+]|gcc_s)[.]")
        list(APPEND system_regexes "^${regex}$")
    endif()
endforeach()

set(modules)
foreach(plugin IN LISTS AUTORUN_BUNDLE_PLUGINS)
    list(APPEND modules "${disc}/${plugin}")
endforeach()

file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES "${program}"
    MODULES ${modules}
    RESOLVED_DEPENDENCIES_VAR resolved
    UNRESOLVED_DEPENDENCIES_VAR unresolved
    PRE_EXCLUDE_REGEXES ${system_regexes})
if(unresolved)
    message(FATAL_ERROR "The disc bundle cannot find these libraries: ${unresolved}")
endif()

# Each library under the name the others ask for (no symbolic links: a FAT stick has none).
file(REMOVE_RECURSE "${bundle}/lib" "${bundle}/runtime")
file(MAKE_DIRECTORY "${bundle}/lib" "${bundle}/runtime")
set(libraries)
foreach(file IN LISTS resolved)
    get_filename_component(name "${file}" NAME)
    get_filename_component(real "${file}" REALPATH)
    if(name IN_LIST runtime_names)
        set(target "${bundle}/runtime/${name}")
    else()
        set(target "${bundle}/lib/${name}")
        list(APPEND libraries "${target}")
    endif()
    file(COPY_FILE "${real}" "${target}")
endforeach()

# The C library, whole, and its loader: used together, and only when the system's is too old.
execute_process(COMMAND "${AUTORUN_PATCHELF}" --print-interpreter "${program}"
    OUTPUT_VARIABLE system_loader OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
if(failed OR NOT system_loader)
    message(FATAL_ERROR "Cannot read the program's loader from ${program}")
endif()
get_filename_component(loader_name "${system_loader}" NAME)
get_filename_component(real "${system_loader}" REALPATH)
file(COPY_FILE "${real}" "${bundle}/runtime/${loader_name}")
foreach(name IN LISTS runtime_names)
    if(NOT EXISTS "${bundle}/runtime/${name}" AND EXISTS "${AUTORUN_LIBC_DIR}/${name}")
        get_filename_component(real "${AUTORUN_LIBC_DIR}/${name}" REALPATH)
        file(COPY_FILE "${real}" "${bundle}/runtime/${name}")
    endif()
endforeach()
foreach(name libc.so.6 libstdc++.so.6)
    if(NOT EXISTS "${bundle}/runtime/${name}")
        message(FATAL_ERROR "The disc bundle's run-time lacks ${name}")
    endif()
endforeach()

# Run paths: the program and the plugins find the libraries in lib/, the libraries each other.
function(set_run_path file path)
    execute_process(COMMAND "${AUTORUN_PATCHELF}" --set-rpath "${path}" "${file}" RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "patchelf could not set the run path of ${file}")
    endif()
endfunction()
set_run_path("${program}" "$ORIGIN/lib")
foreach(module IN LISTS modules)
    set_run_path("${module}" "$ORIGIN/../../lib")
endforeach()
foreach(library IN LISTS libraries)
    set_run_path("${library}" "$ORIGIN")
endforeach()

# What the bundle asks of a system whose C and C++ libraries it uses: the newest symbol versions
# the program, the plugins and the libraries need.
set(glibc_minor 0)
set(glibcxx_minor 0)
foreach(file IN ITEMS "${program}" ${modules} ${libraries})
    execute_process(COMMAND "${AUTORUN_OBJDUMP}" -p "${file}" OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "objdump could not read ${file}")
    endif()
    string(REGEX MATCHALL "GLIBC_2\\.[0-9]+" versions "${headers}")
    foreach(version IN LISTS versions)
        string(REGEX REPLACE "GLIBC_2\\." "" minor "${version}")
        if(minor GREATER glibc_minor)
            set(glibc_minor ${minor})
        endif()
    endforeach()
    string(REGEX MATCHALL "GLIBCXX_3\\.4\\.[0-9]+" versions "${headers}")
    foreach(version IN LISTS versions)
        string(REGEX REPLACE "GLIBCXX_3\\.4\\." "" minor "${version}")
        if(minor GREATER glibcxx_minor)
            set(glibcxx_minor ${minor})
        endif()
    endforeach()
endforeach()

set(AUTORUN_GLIBC_NEEDED "2.${glibc_minor}")
set(AUTORUN_GLIBCXX_NEEDED "${glibcxx_minor}")
set(AUTORUN_LOADER "${loader_name}")
set(AUTORUN_SYSTEM_LOADER "${system_loader}")
configure_file("${AUTORUN_BUNDLE_SCRIPT_TEMPLATE}" "${disc}/autorun.sh" @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
message(STATUS "Disc bundle: ${bundle}: needs C library ${AUTORUN_GLIBC_NEEDED} and C++ library "
               "6.0.${AUTORUN_GLIBCXX_NEEDED} of the system, or uses its own")
cmake_policy(POP)
