# Build helpers shared by every folder.

# Warnings as errors only where asked (make test, CI): another compiler's new warning must
# not break someone's build.
function(quorvex_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow $<$<BOOL:${QUORVEX_WERROR}>:-Werror>)
endfunction()

# Fails the configuration when a target links something above its layer, directly or
# through any target it links: quorvex_forbid_link(<target> <regex>...).
function(quorvex_forbid_link target)
  set(seen "")
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue current)
    if(current IN_LIST seen OR NOT TARGET ${current})
      continue()
    endif()
    list(APPEND seen ${current})
    get_target_property(type ${current} TYPE)
    set(libs "")
    if(NOT type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(direct ${current} LINK_LIBRARIES)
      if(direct)
        list(APPEND libs ${direct})
      endif()
    endif()
    get_target_property(iface ${current} INTERFACE_LINK_LIBRARIES)
    if(iface)
      list(APPEND libs ${iface})
    endif()
    foreach(lib IN LISTS libs)
      string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" lib "${lib}")
      foreach(pattern IN LISTS ARGN)
        if(lib MATCHES "${pattern}")
          message(FATAL_ERROR "${target} must not link ${lib} (through ${current})")
        endif()
      endforeach()
      list(APPEND queue ${lib})
    endforeach()
  endwhile()
endfunction()

# Embeds a data file from resources/ as a byte array, so the data stays data and the
# toolkit-free core can read it without Qt's resource system.
#   quorvex_embed(<target> <file> <symbol>)
# declares: extern const std::string_view <symbol>;  (namespace quorvex::data)
function(quorvex_embed target file symbol)
  set(src ${CMAKE_CURRENT_SOURCE_DIR}/${file})
  set(out ${CMAKE_BINARY_DIR}/generated/embedded_${symbol}.cpp)
  # Generated while configuring (so any folder may embed into any layer); editing the
  # data file re-runs the configuration.
  execute_process(COMMAND ${CMAKE_COMMAND} -DIN=${src} -DOUT=${out} -DSYMBOL=${symbol}
                          -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "Could not embed ${file}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${src})
  target_sources(${target} PRIVATE ${out})
endfunction()

# The optimised builds (and so the package) are hardened as the distribution builds its own
# programs: the tool reads files from the internet. Fortified functions need optimisation;
# the sanitizer and fuzz builds bring their own checks and are left alone.
function(quorvex_hardening)
  include(CheckCXXCompilerFlag)
  include(CheckPIESupported)
  check_pie_supported()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON PARENT_SCOPE)
  set(optimised "$<CONFIG:Release,RelWithDebInfo>")
  set(flags -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2 -fstack-protector-strong)
  foreach(flag -fstack-clash-protection -fcf-protection)
    string(MAKE_C_IDENTIFIER "QUORVEX_HAS${flag}" var)
    check_cxx_compiler_flag(${flag} ${var})
    if(${var})
      list(APPEND flags ${flag})
    endif()
  endforeach()
  add_compile_options("$<${optimised}:${flags}>")
  set(link LINKER:-z,relro,-z,now)
  # The C runtime's start files of the distribution carry no IBT/SHSTK property, so the
  # linker would drop the mark from every program although all of its own code is built
  # with -fcf-protection; the mark is set explicitly. A loader enables the protection only
  # when every library loaded carries it too.
  if(QUORVEX_HAS_fcf_protection)
    include(CheckLinkerFlag)
    check_linker_flag(CXX "LINKER:-z,ibt,-z,shstk" QUORVEX_HAS_cet_mark)
    if(QUORVEX_HAS_cet_mark)
      list(APPEND link LINKER:-z,ibt,-z,shstk)
    endif()
  endif()
  add_link_options("$<${optimised}:${link}>")
endfunction()
