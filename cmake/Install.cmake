# Installing Cardovia as a desktop application, and its Debian package.
#
# Installed, the program lives in bin/ and finds its sounds and help text in share/cardovia/;
# the launcher entry, the icon and the software-centre metadata all go by one application id.

include(GNUInstallDirs)

set(CARDOVIA_APP_ID io.github.cardovia.Cardovia)
set(CARDOVIA_SHARE_DIR ${CMAKE_BINARY_DIR}/share)

# The program tells whether it runs installed by looking for its data directory at this path,
# relative to its own directory.
file(RELATIVE_PATH CARDOVIA_INSTALLED_DATA
  /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_DATADIR}/cardovia)
target_compile_definitions(cardovia PRIVATE
  CARDOVIA_VERSION="${PROJECT_VERSION}"
  CARDOVIA_INSTALLED_DATA="${CARDOVIA_INSTALLED_DATA}")

# The icon is drawn by our own generator at build time, into the build's share/ tree laid out
# as the icon theme wants it, so the program run from its build finds its window icon too.
set(CARDOVIA_ICON_SIZES 16 22 24 32 48 64 128 256 512)
set(CARDOVIA_ICON_FILES
  ${CARDOVIA_SHARE_DIR}/icons/hicolor/scalable/apps/${CARDOVIA_APP_ID}.svg)
foreach(size IN LISTS CARDOVIA_ICON_SIZES)
  list(APPEND CARDOVIA_ICON_FILES
    ${CARDOVIA_SHARE_DIR}/icons/hicolor/${size}x${size}/apps/${CARDOVIA_APP_ID}.png)
endforeach()
add_executable(makeicon tools/makeicon.cpp)
target_link_libraries(makeicon PRIVATE Qt6::Gui)
add_custom_command(OUTPUT ${CARDOVIA_ICON_FILES}
  COMMAND makeicon ${CARDOVIA_SHARE_DIR}
  DEPENDS makeicon
  COMMENT "Drawing the game's icon")
add_custom_target(cardovia_icons ALL DEPENDS ${CARDOVIA_ICON_FILES})
add_dependencies(cardovia cardovia_icons)

install(TARGETS cardovia RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${SOUND_FILES} ${CARDOVIA_BIN_DIR}/help.txt
  DESTINATION ${CMAKE_INSTALL_DATADIR}/cardovia)
install(FILES data/${CARDOVIA_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${CARDOVIA_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${CARDOVIA_SHARE_DIR}/icons DESTINATION ${CMAKE_INSTALL_DATADIR})

# The licence: its full text where desktops look for it, and the Debian package's own copyright
# notice, which names the holders and the licence and points to that text rather than repeating it.
set(CARDOVIA_AUTHORS "The Cardovia developers")
set(CARDOVIA_CONTACT "cardovia@users.noreply.github.com")
set(CARDOVIA_LICENSE_DIR ${CMAKE_INSTALL_DATADIR}/licenses/cardovia)
install(FILES COPYING DESTINATION ${CARDOVIA_LICENSE_DIR})
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/copyright CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Cardovia
Upstream-Contact: ${CARDOVIA_AUTHORS} <${CARDOVIA_CONTACT}>
Source: https://cardovia.github.io/

Files: *
Copyright: ${CARDOVIA_AUTHORS}
License: GPL-3+
 This program is free software: you can redistribute it and/or modify
 it under the terms of the GNU General Public License as published by
 the Free Software Foundation, either version 3 of the License, or
 (at your option) any later version.
 .
 This program is distributed in the hope that it will be useful,
 but WITHOUT ANY WARRANTY; without even the implied warranty of
 MERCHANTABILITY or FITNESS FOR A PARTICULAR PURPOSE.  See the
 GNU General Public License for more details.
 .
 The full text of the license is installed with the program as
 ${CARDOVIA_LICENSE_DIR}/COPYING; on Debian systems it is also in
 /usr/share/common-licenses/GPL-3.
")
install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/cardovia)

# The Debian package. dpkg-shlibdeps finds the libraries the program links; the platform
# plugins that draw the window are loaded at run time, so they are named here. The audio
# back ends come with the multimedia library itself.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME cardovia)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "${CARDOVIA_AUTHORS}")
set(CPACK_PACKAGE_CONTACT "${CARDOVIA_AUTHORS} <${CARDOVIA_CONTACT}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-handed Canasta against a computer opponent")
set(CPACK_PACKAGE_DESCRIPTION
  "Cardovia is the card game Canasta for two: you against the computer opponent Thaddock. \
Draw, meld and discard to build canastas, take the discard pile when your hand allows it, \
and reach the target score first.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://cardovia.github.io/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)

# The install checked file by file and by the desktop's own validators, and the package listed.
if(CARDOVIA_TESTS)
  add_test(NAME install.layout
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install/check_install.sh
      ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
  set_tests_properties(install.layout PROPERTIES TIMEOUT 300)
endif()
