# The installation's folders (GNU layout under any prefix), and the paths from the programs'
# folder to their data folder and to the translations, which the programs use to find them
# when installed.
include(GNUInstallDirs)

# Sets `variable` to the path from the programs' folder to `folder` (relative to the prefix,
# or absolute), or to `full` when either is absolute.
function(vaskel_path_from_binary variable folder full)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_BINDIR}" OR IS_ABSOLUTE "${folder}")
    set(${variable} "${full}" PARENT_SCOPE)
  else()
    # Prefix-independent: the same for /usr, /usr/local or a DESTDIR.
    file(RELATIVE_PATH path "/prefix/${CMAKE_INSTALL_BINDIR}" "/prefix/${folder}")
    set(${variable} "${path}" PARENT_SCOPE)
  endif()
endfunction()

set(VASKEL_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/vaskel")
vaskel_path_from_binary(VASKEL_DATA_FROM_BINARY "${VASKEL_INSTALL_DATADIR}"
                        "${CMAKE_INSTALL_FULL_DATADIR}/vaskel")
# The translations: share/locale/LANG/LC_MESSAGES/vaskel.mo.
vaskel_path_from_binary(VASKEL_LOCALE_FROM_BINARY "${CMAKE_INSTALL_LOCALEDIR}"
                        "${CMAKE_INSTALL_FULL_LOCALEDIR}")
