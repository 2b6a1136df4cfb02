# Included from the engine's CMakeLists: compiles the built-in packages (the
# blank drawing and the connector stencil) into kalemar_visio. Their sources
# are the unpacked package trees in blank/ and connector/; the C++ source that
# carries their bytes is written at build time and again whenever a part changes.

set(builtin_dir ${CMAKE_CURRENT_LIST_DIR})
set(builtin_source ${CMAKE_CURRENT_BINARY_DIR}/BuiltinPackages.cpp)
set(builtin_packages
  "blankDrawingParts=${builtin_dir}/blank"
  "connectorStencilParts=${builtin_dir}/connector")

# A list cannot cross the command line whole; "|" joins its entries instead.
list(JOIN builtin_packages "|" builtin_packages_arg)

file(GLOB_RECURSE builtin_parts CONFIGURE_DEPENDS
  ${builtin_dir}/blank/* ${builtin_dir}/connector/*)

add_custom_command(OUTPUT ${builtin_source}
  COMMAND ${CMAKE_COMMAND} -DOUTPUT=${builtin_source} "-DPACKAGES=${builtin_packages_arg}"
          -P ${builtin_dir}/EmbedPackages.cmake
  DEPENDS ${builtin_parts} ${builtin_dir}/EmbedPackages.cmake
  COMMENT "Embedding the built-in drawing and connector packages"
  VERBATIM)

target_sources(kalemar_visio PRIVATE ${builtin_source})
