# Writes the uninstaller's list of an installed layout: one Delete per file,
# then one RMDir per folder, deepest first (a folder that still holds
# something the program or the user made stays).
#   cmake -DSTAGE=<folder> -DOUT=<file.nsh> -P NsisFileList.cmake
file(GLOB_RECURSE _files RELATIVE "${STAGE}" "${STAGE}/*")
set(_text "")
set(_dirs "")
foreach(_f IN LISTS _files)
  string(REPLACE "/" "\\" _w "${_f}")
  string(APPEND _text "  Delete \"$INSTDIR\\${_w}\"\n")
  get_filename_component(_d "${_f}" DIRECTORY)
  while(_d)
    list(APPEND _dirs "${_d}")
    get_filename_component(_d "${_d}" DIRECTORY)
  endwhile()
endforeach()
list(REMOVE_DUPLICATES _dirs)
list(SORT _dirs ORDER DESCENDING)
foreach(_d IN LISTS _dirs)
  string(REPLACE "/" "\\" _w "${_d}")
  string(APPEND _text "  RMDir \"$INSTDIR\\${_w}\"\n")
endforeach()
file(WRITE "${OUT}" "${_text}")
