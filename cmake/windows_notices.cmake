# The notices of what a mingw-w64 build links statically beyond the libraries of
# packaging/licenses, taken from the build machine's Debian packages, whose notices describe
# exactly what is linked: Debian's notice of qt6-base, the very source the static Qt is built
# from (Qt and the libraries built into it: FreeType, HarfBuzz, libpng, zlib, PCRE2, ...), the
# MinGW-w64 runtime with winpthreads, and GCC's runtime (libstdc++, libgcc) under the GCC
# Runtime Library Exception. The About window and the installer's licenses folder both carry
# them.
#
# VRX_WINDOWS_NOTICES: triples of the name they go by (plain ASCII), their file, and the
# Debian package that has it.
set(VRX_WINDOWS_NOTICES
    Qt-copyright.txt /usr/share/doc/libqt6core6/copyright libqt6core6
    MinGW-w64-runtime.txt /usr/share/doc/mingw-w64-x86-64-dev/copyright mingw-w64-x86-64-dev
    GCC-runtime.txt /usr/share/doc/gcc-mingw-w64-base/copyright gcc-mingw-w64-base)

# vrx_windows_notices(<names> <files>): the names and files, in order; fails where a package
# that has one is missing, as a build without them would ship without the notices.
function(vrx_windows_notices names_var files_var)
    set(names)
    set(files)
    set(rest ${VRX_WINDOWS_NOTICES})
    while(rest)
        list(POP_FRONT rest name file package)
        if(NOT EXISTS ${file})
            message(FATAL_ERROR "${file} is missing: the Windows programs ship its notice "
                                "(Debian: ${package})")
        endif()
        list(APPEND names ${name})
        list(APPEND files ${file})
    endwhile()
    set(${names_var} ${names} PARENT_SCOPE)
    set(${files_var} ${files} PARENT_SCOPE)
endfunction()
