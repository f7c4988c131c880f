# Writes the zip's install note README.txt for one word size from
# resources/README.txt.in: UTF-8 with a byte order mark and CR LF line ends,
# so that Notepad in any locale (a Japanese one reads BOM-less files as
# code page 932) shows it as written.
#   cmake -DSOURCE=IN -DOUTPUT=OUT -DBITS=32|64 -DVERSION=V -P write_install_note.cmake
foreach(name SOURCE OUTPUT BITS VERSION)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "write_install_note.cmake: ${name} is not set")
  endif()
endforeach()
if(BITS STREQUAL 32)
  set(suffix win32)
elseif(BITS STREQUAL 64)
  set(suffix win64)
else()
  message(FATAL_ERROR "write_install_note.cmake: BITS must be 32 or 64, not ${BITS}")
endif()
set(KIVERA_BITS ${BITS})
set(KIVERA_VERSION ${VERSION})
set(KIVERA_ZIP kivera-${VERSION}-${suffix}.zip)
file(READ ${SOURCE} text)
string(CONFIGURE "${text}" text @ONLY)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 bom)
file(WRITE ${OUTPUT} "${bom}${text}")
