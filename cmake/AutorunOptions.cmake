# Compiler settings shared by every target of the project. Applied per target, never globally,
# so that third-party code pulled in later is not affected.

set(AUTORUN_QT_DEFINES
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_FOREACH
    QT_USE_QSTRINGBUILDER)

set(AUTORUN_WARNINGS -Wall -Wextra -Wpedantic -Wold-style-cast -Woverloaded-virtual -Wnon-virtual-dtor)

set(AUTORUN_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)

# autorun_setup_target(TARGET): strict Qt defines, warnings, sanitizers.
function(autorun_setup_target target)
    target_compile_definitions(${target} PRIVATE ${AUTORUN_QT_DEFINES})
    target_compile_options(${target} PRIVATE ${AUTORUN_WARNINGS})
    if(AUTORUN_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    if(AUTORUN_SANITIZE)
        target_compile_options(${target} PRIVATE ${AUTORUN_SANITIZE_FLAGS})
        target_link_options(${target} PRIVATE ${AUTORUN_SANITIZE_FLAGS})
    endif()
    if(AUTORUN_FUZZ)
        # Linked with the same flags so that executables other than the harnesses (vlptool) get
        # the sanitizer runtimes their instrumented libraries call into.
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
        target_link_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
    endif()
endfunction()

# autorun_add_library(NAME SOURCES ... PUBLIC_LIBS ... PRIVATE_LIBS ...): one static library per layer.
function(autorun_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    autorun_setup_target(${name})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
endfunction()

# autorun_add_layer(NAME PUBLIC_LIBS ... PRIVATE_LIBS ...): a layer library made of every source
# below the current folder. Files ending in _linux.cpp or _win.cpp are the one implementation per
# operating system of a service; only the current system's are built.
function(autorun_add_layer name)
    cmake_parse_arguments(ARG "" "" "PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
    if(WIN32)
        list(FILTER sources EXCLUDE REGEX "_linux\\.cpp$")
    else()
        list(FILTER sources EXCLUDE REGEX "_win\\.cpp$")
    endif()
    autorun_add_library(${name} SOURCES ${sources}
        PUBLIC_LIBS ${ARG_PUBLIC_LIBS} PRIVATE_LIBS ${ARG_PRIVATE_LIBS})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()
