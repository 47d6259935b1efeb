# Where `cmake --install` puts the program and the files a Linux desktop looks for.
#
# The program finds its audio modules in <bin>/../lib/horavia (audio/ModuleLoader.cpp) and its help pages
# in <bin>/../share/horavia/help (platform/DesktopShell.cpp), relative to its own file. Those two folders
# therefore keep fixed names under the prefix instead of following CMAKE_INSTALL_LIBDIR (which would be
# lib/x86_64-linux-gnu on Debian) or a changed data folder; the install lines for them sit beside the
# targets in audio/lib/ and help/. What the desktop finds through XDG_DATA_DIRS goes under share/.

# The id of the desktop entry and of the AppStream component; the two must agree.
set(HORAVIA_APP_ID org.horavia.Horavia)
# The product site, as platform/Links.h names it.
set(HORAVIA_HOMEPAGE https://horavia.example.org)
# Date of the release PROJECT_VERSION names, for the AppStream release entry.
set(HORAVIA_RELEASE_DATE 2026-12-08)

# Only system libraries are linked dynamically (ours are static or loaded at run time by path), so the
# installed program keeps the empty INSTALL_RPATH and carries no run path; the modules get $ORIGIN from their
# own target properties so that the format plug-ins find the core module beside them.
install(TARGETS horavia RUNTIME DESTINATION bin)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/${HORAVIA_APP_ID}.desktop DESTINATION share/applications)

configure_file(${PROJECT_SOURCE_DIR}/packaging/${HORAVIA_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/packaging/${HORAVIA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/${HORAVIA_APP_ID}.metainfo.xml DESTINATION share/metainfo)

# Each drawn icon goes to the hicolor folders that take its size, under the name the desktop entry gives
# (Icon=horavia): as itself, and as the 2x icon of half its size. A size the theme has no folder for
# (44, drawn only as the 2x of 22) goes only where it doubles.
set(horavia_hicolor_sizes 16 22 24 32 36 48 64 72 96 128 192 256 512)
file(GLOB horavia_icons RELATIVE ${PROJECT_SOURCE_DIR}/assets/icons ${PROJECT_SOURCE_DIR}/assets/icons/horavia-*.png)
foreach(icon IN LISTS horavia_icons)
    string(REGEX REPLACE "^horavia-([0-9]+)\\.png$" "\\1" size ${icon})
    math(EXPR half "${size} / 2")
    math(EXPR twice_half "${half} * 2")
    set(folders)
    if(size IN_LIST horavia_hicolor_sizes)
        list(APPEND folders ${size}x${size})
    endif()
    if(half IN_LIST horavia_hicolor_sizes AND size EQUAL twice_half)
        list(APPEND folders ${half}x${half}@2)
    endif()
    foreach(folder IN LISTS folders)
        install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/${icon}
                DESTINATION share/icons/hicolor/${folder}/apps
                RENAME horavia.png)
    endforeach()
endforeach()
