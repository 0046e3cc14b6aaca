# The remark files are kept as UTF-8 in the tree (resources/<platform>/
# system.ini.utf8) and shipped in code page 936 (GBK), as the program's users
# keep them: the Linux one with LF lines, the Windows one with CRLF lines.
# One command makes both, for the programs and for the test that reads them.
function(kelvar_convert_remarks platform output)
  set(source ${PROJECT_SOURCE_DIR}/resources/${platform}/system.ini.utf8)
  get_filename_component(folder ${output} DIRECTORY)
  if(platform STREQUAL "win32")
    set(line_end "\\r")
  else()
    set(line_end "")
  endif()
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND sh -c "sed 's/$/${line_end}/' \"$0\" | iconv -f UTF-8 -t CP936 > \"$1\"" ${source} ${output}
    DEPENDS ${source}
    COMMENT "Remark file ${output} (code page 936)"
    VERBATIM)
endfunction()
