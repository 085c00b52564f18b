# What `cmake --install` puts under a prefix, and the Debian packages made of
# it. Component "dev": the library, headers, CMake and pkg-config files.
# Component "game": the program and its data; the program looks for the data
# in ../share/zelvra from its own folder, so those two places stay fixed.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

target_compile_features(zelvra_engine PUBLIC cxx_std_17)
set(ZELVRA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Zelvra)

install(TARGETS zelvra_engine EXPORT ZelvraTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
install(DIRECTORY engine/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zelvra COMPONENT dev
  FILES_MATCHING PATTERN "*.h")
install(FILES ${CMAKE_BINARY_DIR}/generated/core/Version.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zelvra/core COMPONENT dev)
install(EXPORT ZelvraTargets NAMESPACE Zelvra:: DESTINATION ${ZELVRA_CMAKE_DIR} COMPONENT dev)
configure_package_config_file(cmake/ZelvraConfig.cmake.in ${CMAKE_BINARY_DIR}/ZelvraConfig.cmake
  INSTALL_DESTINATION ${ZELVRA_CMAKE_DIR})
# Later engines still build the games written for earlier ones.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/ZelvraConfigVersion.cmake
  COMPATIBILITY AnyNewerVersion)
install(FILES ${CMAKE_BINARY_DIR}/ZelvraConfig.cmake ${CMAKE_BINARY_DIR}/ZelvraConfigVersion.cmake
  DESTINATION ${ZELVRA_CMAKE_DIR} COMPONENT dev)
# The .pc file finds the prefix from its own place, so the tree can move.
file(RELATIVE_PATH ZELVRA_PC_UP /p/${CMAKE_INSTALL_LIBDIR}/pkgconfig /p)
string(REGEX REPLACE "/$" "" ZELVRA_PC_UP "${ZELVRA_PC_UP}")
configure_file(cmake/zelvra.pc.in ${CMAKE_BINARY_DIR}/zelvra.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/zelvra.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)

install(TARGETS zelvra RUNTIME DESTINATION bin COMPONENT game)
# The font is a link to the system's copy, which the package depends on.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
file(CREATE_LINK ${ZELVRA_FONT_SOURCE} ${CMAKE_BINARY_DIR}/install-links/zv-font.ttf SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/install-links/zv-font.ttf zv-config.txt
  DESTINATION share/zelvra COMPONENT game)
install(DIRECTORY sprites sounds DESTINATION share/zelvra COMPONENT game
  FILES_MATCHING PATTERN "*-spr.txt" PATTERN "*.wav")

set(CPACK_PACKAGE_NAME zelvra)
set(CPACK_PACKAGE_VENDOR "Zelvra developers")
set(CPACK_PACKAGE_CONTACT "Zelvra developers <zelvra@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "character-cell 2D game engine and a racing game")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL dev game)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_DEV_PACKAGE_NAME zelvra-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libsfml-dev (>= 2.5), libx11-dev, fonts-dejavu-core")
set(CPACK_COMPONENT_DEV_DESCRIPTION "Zelvra engine: static library, headers, CMake and pkg-config files")
set(CPACK_DEBIAN_GAME_PACKAGE_NAME zelvra)
set(CPACK_DEBIAN_GAME_PACKAGE_SECTION games)
# The shared libraries' own packages (SFML, X11, C++ runtime) come from
# dpkg-shlibdeps; the font is only read, so it is named here.
set(CPACK_DEBIAN_GAME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_COMPONENT_GAME_DESCRIPTION "Zelvra: a side-scrolling racing game in character cells")
include(CPack)
