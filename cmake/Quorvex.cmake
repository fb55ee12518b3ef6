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
