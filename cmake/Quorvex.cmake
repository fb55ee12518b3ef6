# Build helpers shared by every folder.

# Warnings as errors only where asked (make test, CI): another compiler's new warning must
# not break someone's build.
function(quorvex_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${QUORVEX_WERROR}>:-Werror>)
endfunction()

# Fails the configuration when a layer links something above it.
function(quorvex_forbid_link target pattern)
  get_target_property(libs ${target} LINK_LIBRARIES)
  get_target_property(ilibs ${target} INTERFACE_LINK_LIBRARIES)
  foreach(lib IN LISTS libs ilibs)
    if(lib MATCHES "${pattern}")
      message(FATAL_ERROR "${target} must not link ${lib}")
    endif()
  endforeach()
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
