# The .debs: orbivale, orbivale-data and orbivale-tools, one per install
# component. Their files land under the install prefix the programs were
# built for, so the data path compiled into them is where the packages put
# the data; `make package` configures with /usr and the programs in games/.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orbivale)
set(CPACK_PACKAGE_VENDOR "The Orbivale developers")
set(CPACK_PACKAGE_CONTACT ${ORBIVALE_PACKAGE_MAINTAINER})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game data tools)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# Lines of at most 80 characters; the first is the summary, a lone "." an
# empty line. Each package says which of the three it is.
set(about_game
  "Orbivale is a single-player 3D arcade game: steer a marble down a long\n\
course of smooth pits and mounds and cross the goal line before the\n\
countdown runs out. It comes as two programs: orbivale-gl (OpenGL, six\n\
levels) and orbivale-glide (a Voodoo Graphics card in software, three\n\
levels, joystick).")
set(CPACK_DEBIAN_GAME_PACKAGE_NAME orbivale)
set(CPACK_DEBIAN_GAME_DESCRIPTION "marble racing game down courses of pits and mounds\n${about_game}\n\n\
This package holds the two programs; their levels, pictures, sounds and music\n\
are in orbivale-data, the map checker for level designers in orbivale-tools.")
set(CPACK_DEBIAN_DATA_PACKAGE_NAME orbivale-data)
set(CPACK_DEBIAN_DATA_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_DATA_DESCRIPTION "marble racing game down courses of pits and mounds - data\n${about_game}\n\n\
This package holds what both programs read, the same on every architecture:\n\
levels, textures, font, pictures, sounds, music and the icons. It is made\n\
by the game's own generator at build time.")
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME orbivale-tools)
set(CPACK_DEBIAN_TOOLS_DESCRIPTION "map checker for the marble racing game Orbivale\n${about_game}\n\n\
This package holds orbivale-mapcheck, for level designers: it loads map\n\
files and level lists with the game's own loader, prints what the game\n\
would say and why, warns of traps, and lets the autopilot time each map.")

# dpkg-shlibdeps finds the libraries the programs link (SDL2, SDL2_mixer,
# OpenGL, the C++ runtime) with their minimum versions. SDL2 opens libGL.so.1
# (GLX) itself for orbivale-gl's context. The music's soundfont comes with
# the data. The data of one version only goes with the programs of that
# version.
set(CPACK_DEBIAN_GAME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS
    "orbivale-data (= ${PROJECT_VERSION}), libgl1")
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "orbivale-data (= ${PROJECT_VERSION})")
include(CPack)
