# Run at installation: the desktop entry names the installed program by its
# full path, so that the menu starts it wherever the prefix is, on the PATH
# or not. Set before: OV_ENTRY_IN (packaging/ordivex-varne.desktop),
# OV_ENTRY_OUT (the entry to install) and OV_BIN_AT_INSTALL (the folder the
# program is installed in, without DESTDIR, which only stages the files).
set(program "${OV_BIN_AT_INSTALL}/ordivex-varne")
if(NOT IS_ABSOLUTE "${program}")
  get_filename_component(program "${program}" ABSOLUTE BASE_DIR "$ENV{PWD}")
endif()
# The Exec key's own quoting: "%" doubled; a path with a space or another
# reserved character goes in double quotes, with ", `, $ and \ escaped; and
# the value as a whole escapes each \ once more.
string(REPLACE "%" "%%" exec "${program}")
if(exec MATCHES "[ \t\n\"'\\\\<>~|&;$*?#()`]")
  string(REPLACE "\\" "\\\\" exec "${exec}")
  string(REPLACE "\"" "\\\"" exec "${exec}")
  string(REPLACE "`" "\\`" exec "${exec}")
  string(REPLACE "$" "\\$" exec "${exec}")
  string(REPLACE "\\" "\\\\" exec "\"${exec}\"")
endif()
file(READ "${OV_ENTRY_IN}" entry)
string(REPLACE "\nExec=ordivex-varne " "\nExec=${exec} " entry "${entry}")
if(NOT entry MATCHES "\nExec=[^\n]+ %f\n")
  message(FATAL_ERROR "${OV_ENTRY_IN}: no Exec line")
endif()
file(WRITE "${OV_ENTRY_OUT}" "${entry}")
