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

# The programs are stripped, but the compilers' version notes (.comment) stay, which the
# package checker flags; the .note sections stay (they carry the hardening marks).
find_program(STRIP_PROGRAM strip REQUIRED)
file(GLOB _programs ${CPACK_TEMPORARY_DIRECTORY}/*/bin/*)
foreach(p IN LISTS _programs)
  execute_process(COMMAND ${STRIP_PROGRAM} --remove-section=.comment ${p} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "strip failed on ${p}")
  endif()
endforeach()
