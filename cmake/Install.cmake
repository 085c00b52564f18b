# What `cmake --install` puts under a prefix, and the Debian packages made of
# it. Component "dev": the library, headers, CMake and pkg-config files.
# Component "game": the program and its data, where InstalledData finds them.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

target_compile_features(zelvra_engine PUBLIC cxx_std_17)
set(ZELVRA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Zelvra)

install(TARGETS zelvra_engine EXPORT ZelvraTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
# The headers a game uses; the renderer's, the input fallback's and the
# platform's own stay inside the library.
file(GLOB_RECURSE ZELVRA_HEADERS RELATIVE ${CMAKE_SOURCE_DIR}/engine CONFIGURE_DEPENDS engine/*.h)
list(REMOVE_ITEM ZELVRA_HEADERS display/CellBatch.h display/GlyphCache.h display/Quad.h display/TouchedTiles.h
  platform/DataDir.h platform/InputSnapshot.h platform/Signals.h platform/Socket.h)
foreach(header ${ZELVRA_HEADERS})
  get_filename_component(dir ${header} DIRECTORY)
  install(FILES engine/${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/zelvra/${dir} COMPONENT dev)
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/generated/zelvra/core/Version.h
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

install(FILES cmake/ZelvraGame.cmake DESTINATION ${ZELVRA_CMAKE_DIR} COMPONENT dev)
# A user's game starts from the template, installed with the headers.
install(DIRECTORY template/ DESTINATION ${CMAKE_INSTALL_DATADIR}/zelvra-dev/template COMPONENT dev
  PATTERN "build*" EXCLUDE)

# The game installs as any game on the engine does.
include(cmake/ZelvraGame.cmake)
zelvra_install_game(TARGET zelvra DATA ${ZELVRA_DATA} FONT ${ZELVRA_FONT_SOURCE} COMPONENT game)

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
