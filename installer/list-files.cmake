# Lists a variant data directory for the installer script: OUT_INSTALL gets
# the File lines that put every file of DATA below $INSTDIR, OUT_UNINSTALL
# the Delete and RMDir lines that take exactly those away again, so the
# uninstaller never touches a file it did not put there.
#   cmake -DDATA=dir -DOUT_INSTALL=f.nsh -DOUT_UNINSTALL=g.nsh -P list-files.cmake
# Dot files (make-data.sh's stamps) stay out; so does nofile.bmp, which all
# three variants share and the script counts separately.
file(GLOB_RECURSE files RELATIVE ${DATA} ${DATA}/*)
list(FILTER files EXCLUDE REGEX "(^|/)\\.")
list(REMOVE_ITEM files nofile.bmp)
list(SORT files)
if(NOT files)
  message(FATAL_ERROR "no files in ${DATA}")
endif()

set(install "")
set(uninstall "")
set(folders "")
set(current "-")
foreach(f IN LISTS files)
  get_filename_component(folder "${f}" DIRECTORY)
  string(REPLACE "/" "\\" winFile "${f}")
  string(REPLACE "/" "\\" winFolder "${folder}")
  if(NOT folder STREQUAL current)
    if(folder STREQUAL "")
      string(APPEND install "SetOutPath \"$INSTDIR\"\n")
    else()
      string(APPEND install "SetOutPath \"$INSTDIR\\${winFolder}\"\n")
      list(APPEND folders "${winFolder}")
    endif()
    set(current "${folder}")
  endif()
  string(APPEND install "File \"${DATA}/${f}\"\n")
  string(APPEND uninstall "Delete \"$INSTDIR\\${winFile}\"\n")
endforeach()
# Folders deepest first; RMDir without /r leaves one that still holds
# something of the user's.
list(REMOVE_DUPLICATES folders)
list(SORT folders)
list(REVERSE folders)
foreach(folder IN LISTS folders)
  string(APPEND uninstall "RMDir \"$INSTDIR\\${folder}\"\n")
endforeach()
file(WRITE ${OUT_INSTALL} "${install}")
file(WRITE ${OUT_UNINSTALL} "${uninstall}")
