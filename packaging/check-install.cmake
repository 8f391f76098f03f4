# Installs the build into a scratch prefix and checks that a desktop would find Cronalba there:
# the program, a valid desktop entry, the icon it names and metadata that points at both.
# cmake -D BUILD_DIR=<build> -D STAGE=<scratch folder> -D APP_ID=<id> -P check-install.cmake

file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE}
    OUTPUT_QUIET RESULT_VARIABLE result)
if(result)
    message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
    bin/cronalba
    share/applications/${APP_ID}.desktop
    share/icons/hicolor/scalable/apps/${APP_ID}.svg
    share/icons/hicolor/48x48/apps/${APP_ID}.png
    share/metainfo/${APP_ID}.metainfo.xml
    share/doc/cronalba/copyright)
foreach(file IN LISTS expected)
    if(NOT EXISTS ${STAGE}/${file})
        message(SEND_ERROR "Not installed: ${file}")
    endif()
endforeach()

# The program and the icon that the desktop entry names are the ones installed.
file(STRINGS ${STAGE}/share/applications/${APP_ID}.desktop exec REGEX "^Exec=")
file(STRINGS ${STAGE}/share/applications/${APP_ID}.desktop icon REGEX "^Icon=")
string(REPLACE "Exec=" "" exec "${exec}")
string(REPLACE "Icon=" "" icon "${icon}")
if(NOT EXISTS ${STAGE}/bin/${exec})
    message(SEND_ERROR "The desktop entry starts '${exec}', which is not installed")
endif()
if(NOT EXISTS ${STAGE}/share/icons/hicolor/scalable/apps/${icon}.svg)
    message(SEND_ERROR "The desktop entry shows the icon '${icon}', which is not installed")
endif()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(APPSTREAMCLI appstreamcli)
if(NOT DESKTOP_FILE_VALIDATE OR NOT APPSTREAMCLI)
    message(FATAL_ERROR "Needs desktop-file-validate (desktop-file-utils) and appstreamcli (appstream)")
endif()
# Hints count too: a menu may list an entry with two main categories twice.
execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${STAGE}/share/applications/${APP_ID}.desktop
    RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(result OR NOT said STREQUAL "")
    message(SEND_ERROR "desktop-file-validate finds fault with the desktop entry: ${said}")
endif()
# validate-tree also checks that the metadata's launchable and the entry's icon are installed.
execute_process(COMMAND ${APPSTREAMCLI} validate-tree --no-net ${STAGE} RESULT_VARIABLE result)
if(result)
    message(SEND_ERROR "appstreamcli rejects the installed metadata")
endif()
