# The installation's folders (GNU layout under any prefix), and the path from the programs'
# folder to their data folder, which the programs use to find their data when installed.
include(GNUInstallDirs)

set(VASKEL_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/vaskel")
if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}" OR IS_ABSOLUTE "${VASKEL_INSTALL_DATADIR}")
  set(VASKEL_DATA_FROM_BINARY "${CMAKE_INSTALL_FULL_DATADIR}/vaskel")
else()
  # Prefix-independent: the same for /usr, /usr/local or a DESTDIR.
  file(RELATIVE_PATH VASKEL_DATA_FROM_BINARY "/prefix/${CMAKE_INSTALL_BINDIR}"
       "/prefix/${VASKEL_INSTALL_DATADIR}")
endif()

# The translations (share/locale/LANG/LC_MESSAGES/vaskel.mo), found the same way.
if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_LOCALEDIR}")
  set(VASKEL_LOCALE_FROM_BINARY "${CMAKE_INSTALL_FULL_LOCALEDIR}")
else()
  file(RELATIVE_PATH VASKEL_LOCALE_FROM_BINARY "/prefix/${CMAKE_INSTALL_BINDIR}"
       "/prefix/${CMAKE_INSTALL_LOCALEDIR}")
endif()
