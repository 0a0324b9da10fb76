# Warnings for our own targets; call tovex_set_warnings(target) on each of them.
option(TOVEX_WERROR "Treat compiler warnings as errors" OFF)

function(tovex_set_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual -Wpedantic)
    if(TOVEX_WERROR OR CMAKE_BUILD_TYPE STREQUAL "Debug")
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
