# vrx_add_windows_manifest(<target>): on Windows, the application manifest of cmake/utf8.manifest
# in the program file, so the program runs with UTF-8 as its ANSI code page. The programs and
# the test binaries carry the same one, so the tests run under the programs' conditions.
function(vrx_add_windows_manifest target)
    if(NOT WIN32)
        return()
    endif()
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest.rc)
    # 1 is the manifest a program's loader reads, 24 its resource type (RT_MANIFEST).
    file(CONFIGURE OUTPUT ${rc} CONTENT "1 24 \"${PROJECT_SOURCE_DIR}/cmake/utf8.manifest\"\n")
    target_sources(${target} PRIVATE ${rc})
    set_property(SOURCE ${rc} APPEND PROPERTY OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/utf8.manifest)
endfunction()
