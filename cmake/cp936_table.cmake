# The code page 936 table of the Linux program, made at build time by
# cmake/cp936_table_gen.cpp from ICU's "windows-936-2000" (libicu-dev): the
# program itself needs no ICU at run time.  Adds the generated source to
# TARGET.
function(kelvar_cp936_table target)
  find_package(ICU REQUIRED COMPONENTS uc data)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/generated/cp936_table.cpp)
  add_executable(kelvar_cp936_table_gen ${PROJECT_SOURCE_DIR}/cmake/cp936_table_gen.cpp)
  target_include_directories(kelvar_cp936_table_gen PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(kelvar_cp936_table_gen PRIVATE ICU::uc ICU::data)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/generated
    COMMAND kelvar_cp936_table_gen ${output}
    DEPENDS kelvar_cp936_table_gen
    COMMENT "Code page 936 table from ICU"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()
