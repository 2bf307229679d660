# Installs the framework for games built outside this tree: the public headers of the
# platform, system, drawing, sound, input and shell layers under include/plonder, the static
# libraries plonder_platform, plonder_framework and plonder_shell, and the package
# Plonder (find_package(Plonder CONFIG)) with the targets Plonder::platform,
# Plonder::framework and Plonder::shell.
#
# The puzzle's own bitmaps are not part of it: they are compiled into the puzzle (plonder_game),
# and the installed platform carries the empty resource table, so another game's loaders find
# only its own files and resources. Games may embed theirs with the installed
# resources_embed.cmake.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(PLONDER_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Plonder)

set_target_properties(plonder_platform PROPERTIES EXPORT_NAME platform)
set_target_properties(plonder_framework PROPERTIES EXPORT_NAME framework)
set_target_properties(plonder_shell PROPERTIES EXPORT_NAME shell)

install(TARGETS plonder_platform plonder_framework plonder_shell
    EXPORT PlonderTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    COMPONENT framework)

# Public headers only: each folder's *_internal.h stays with its sources.
foreach(folder platform platform/headless system draw draw/blit sound input app)
    file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    list(FILTER headers EXCLUDE REGEX "_internal\\.h$")
    install(FILES ${headers}
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/plonder/${folder}
        COMPONENT framework)
endforeach()

install(EXPORT PlonderTargets
    NAMESPACE Plonder::
    DESTINATION ${PLONDER_INSTALL_CMAKEDIR}
    COMPONENT framework)

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/PlonderConfig.cmake.in
    ${PROJECT_BINARY_DIR}/PlonderConfig.cmake
    INSTALL_DESTINATION ${PLONDER_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/PlonderConfigVersion.cmake
    VERSION 1.0.0
    COMPATIBILITY SameMajorVersion)
install(FILES
    ${PROJECT_BINARY_DIR}/PlonderConfig.cmake
    ${PROJECT_BINARY_DIR}/PlonderConfigVersion.cmake
    ${PROJECT_SOURCE_DIR}/platform/resources_embed.cmake
    DESTINATION ${PLONDER_INSTALL_CMAKEDIR}
    COMPONENT framework)

# The same names inside this tree, so examples build against the tree as they would against
# an installed framework.
add_library(Plonder::platform ALIAS plonder_platform)
add_library(Plonder::framework ALIAS plonder_framework)
add_library(Plonder::shell ALIAS plonder_shell)
