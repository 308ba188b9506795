# The .deb. Its files land under the install prefix the programs were built
# for, so the data path compiled into them is where the package puts the data;
# `make package` configures with /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orbivale)
set(CPACK_PACKAGE_VENDOR "The Orbivale developers")
# The Maintainer field: a packager puts their own address here.
set(ORBIVALE_PACKAGE_MAINTAINER "Orbivale developers <packager@example.invalid>" CACHE STRING "Maintainer of the .deb")
set(CPACK_PACKAGE_CONTACT ${ORBIVALE_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "marble racing game down courses of pits and mounds")
set(CPACK_PACKAGE_DESCRIPTION
  "Orbivale is a single-player 3D arcade game: steer a marble down a long course\n\
of smooth pits and mounds and cross the goal line before the countdown runs out.\n\
It comes as two programs: orbivale-gl (OpenGL, six levels) and orbivale-glide\n\
(a Voodoo Graphics card in software, three levels, joystick).")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the libraries the programs link (SDL2, SDL2_mixer,
# OpenGL, the C++ runtime) with their minimum versions. SDL2 opens libGL.so.1
# (GLX) itself for orbivale-gl's context, and the soundfont is no library:
# without it SDL2_mixer has nothing to play the MIDI music with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, timgm6mb-soundfont | sf3-soundfont-gm")
include(CPack)
