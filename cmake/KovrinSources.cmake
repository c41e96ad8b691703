# Each subsystem folder contributes its sources by naming convention:
#   *.cpp             portable logic, built in both trees
#   *_win32.cpp       Win32 glue, only in the win32 tree
#   *_posix.cpp       POSIX stand-ins for the glue, only in the native tree
function(kovrin_collect_sources out dir)
    file(GLOB all CONFIGURE_DEPENDS ${dir}/*.cpp)
    set(result)
    foreach(f IN LISTS all)
        if(f MATCHES "_win32\\.cpp$")
            if(WIN32)
                list(APPEND result ${f})
            endif()
        elseif(f MATCHES "_posix\\.cpp$")
            if(NOT WIN32)
                list(APPEND result ${f})
            endif()
        elseif(NOT f MATCHES "main_win32\\.cpp$")
            list(APPEND result ${f})
        endif()
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# Which Wine runs this tree's Windows programs (scripts/common.sh, wine_env).
if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(KOVRIN_WINE_ARCH win64)
else()
    set(KOVRIN_WINE_ARCH win32)
endif()

# A test program run by ctest; in a Windows tree through Wine with the tree's own prefix.
function(kovrin_add_test name)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
    if(WIN32)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine_lane_0 ENVIRONMENT
            "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;KOVRIN_WINE_ARCH=${KOVRIN_WINE_ARCH}")
    endif()
endfunction()
