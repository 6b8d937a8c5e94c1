# Installation layout and the .deb.
#
#   bin/kx30ctl, bin/kx30-emulator, bin/KelvaneX30 (a link into the program's folder)
#   lib/libKelvaneX30HWI.so.*                       the library
#   lib/kelvane-x30/KelvaneX30                      the program, with what it loads from its
#   lib/kelvane-x30/KelvaneX30RES.rcc               own folder: the skin bundle and (a link
#   lib/kelvane-x30/KelvaneX30-help.html              to) the help page
#   share/doc/kelvane-x30/KelvaneX30-help.html, kx30ctl.md
#   share/applications/kelvane-x30.desktop, share/icons/hicolor/scalable/apps/kelvane-x30.svg
#   lib/udev/rules.d/70-kelvane-x30.rules
#
# Included before the folders, so their install() rules find the directories set here.
include(GNUInstallDirs)

set(KX30_INSTALL_PROGRAMDIR ${CMAKE_INSTALL_LIBDIR}/kelvane-x30)
set(KX30_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/kelvane-x30)
# Below the prefix, so the package puts it into /usr/lib/udev/rules.d. udev reads no folder
# below /usr/local: an installation there needs the rule copied to /etc/udev/rules.d.
set(KX30_INSTALL_UDEVRULESDIR lib/udev/rules.d)

# Installed programs find the library relative to themselves: from bin/ and from the
# program's folder below lib/.
file(RELATIVE_PATH _kx30_bin_to_lib ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR})
file(RELATIVE_PATH _kx30_prog_to_lib ${CMAKE_INSTALL_PREFIX}/${KX30_INSTALL_PROGRAMDIR}
     ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR})
set(CMAKE_INSTALL_RPATH "$ORIGIN/${_kx30_bin_to_lib};$ORIGIN/${_kx30_prog_to_lib}")

# A relative symbolic link at install time: LINK (below the prefix) points to TARGET
# (below the prefix as well). Honours DESTDIR, so staging and packaging get it too.
function(kx30_install_link target link)
  get_filename_component(link_dir ${link} DIRECTORY)
  install(CODE "
    set(_root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    file(RELATIVE_PATH _rel \"\${_root}/${link_dir}\" \"\${_root}/${target}\")
    file(MAKE_DIRECTORY \"\${_root}/${link_dir}\")
    file(CREATE_LINK \"\${_rel}\" \"\${_root}/${link}\" SYMBOLIC)
    message(STATUS \"Installing link: \${_root}/${link} -> \${_rel}\")")
endfunction()

set(_kx30_packaging ${CMAKE_CURRENT_LIST_DIR})
install(FILES ${_kx30_packaging}/70-kelvane-x30.rules DESTINATION ${KX30_INSTALL_UDEVRULESDIR})
install(FILES ${_kx30_packaging}/kelvane-x30.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_kx30_packaging}/kelvane-x30.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The .deb: `cpack -G DEB` in the build folder (after building everything).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvane-x30)
set(CPACK_PACKAGE_VENDOR "Kelvane X30 configuration software")
set(CPACK_PACKAGE_CONTACT "Kelvane X30 team <kelvane-x30@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "configuration software for the Kelvane X30 keyboard")
set(CPACK_PACKAGE_DESCRIPTION "Assigns functions to the keys of the Kelvane X30 \
programmable keyboard (single keys, combinations, macros, typed sequences, multimedia \
functions) on two levels, sets its four backlight colours and updates its firmware: a \
graphical program, the kx30ctl command-line tool, a keyboard emulator and a udev rule that \
lets the logged-in user use the keyboard without root.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The program's Chinese texts need a font that has them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-wqy-microhei)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${_kx30_packaging}/postinst ${_kx30_packaging}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Only what the install rules put there: no build or test trees.
set(CPACK_SOURCE_IGNORE_FILES "/build[^/]*/" "/\\\\.git/")
include(CPack)
