# Run by CPack on the staged package: compresses the manual pages and the changelog as
# Debian does (gzip -9n: no name and no time stamp inside, so the bytes are reproducible).
find_program(GZIP gzip REQUIRED)
file(GLOB_RECURSE _files
     ${CPACK_TEMPORARY_DIRECTORY}/*/share/man/man1/*.1
     ${CPACK_TEMPORARY_DIRECTORY}/*/share/doc/quorvex/changelog)
foreach(f IN LISTS _files)
  execute_process(COMMAND ${GZIP} -9nf ${f} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${f}")
  endif()
endforeach()
