# One manual page per program, written at build time by help2man from the
# program's own --help, into <build>/man/, and installed into man1/. The
# programs run in that folder: the viewer opens global.log where it starts.

find_program(HELP2MAN help2man)
if(NOT HELP2MAN)
    message(FATAL_ERROR "help2man not found: the manual pages are made with it "
                        "(Debian package help2man; `make` installs it)")
endif()

set(VESK_MAN_DIR ${CMAKE_BINARY_DIR}/man)
file(MAKE_DIRECTORY ${VESK_MAN_DIR})

function(vesk_add_man_page program description)
    set(page ${VESK_MAN_DIR}/${program}.1)
    add_custom_command(
        OUTPUT ${page}
        COMMAND ${HELP2MAN} --no-info --section 1 --name ${description}
                --version-string ${PROJECT_VERSION} --output ${page} $<TARGET_FILE:${program}>
        DEPENDS ${program}
        WORKING_DIRECTORY ${VESK_MAN_DIR}
        COMMENT "Writing the manual page of ${program}"
        VERBATIM)
    set(VESK_MAN_PAGES ${VESK_MAN_PAGES} ${page} PARENT_SCOPE)
endfunction()

set(VESK_MAN_PAGES)
vesk_add_man_page(vesk-viewer "show a scene folder of OBJ meshes in an OpenGL window")
vesk_add_man_page(vesk-view "show Wavefront OBJ models in vesk-viewer")
vesk_add_man_page(vesk-inspect "print what the vesk engine reads from a mesh, picture or scene file")

add_custom_target(vesk-man-pages ALL DEPENDS ${VESK_MAN_PAGES})
install(FILES ${VESK_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
