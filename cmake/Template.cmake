# The installation template: the static files of data/template plus the files
# that the tools/gen_*.cpp programs generate from the core (the empty database,
# the master column set, ...). Each generator is called with the template root
# and writes its files below it. The result lives in <build>/share/milvane/template
# and is installed to <prefix>/share/milvane/template.
set(MILVANE_TEMPLATE_DIR ${CMAKE_BINARY_DIR}/share/milvane/template)

file(GLOB_RECURSE TEMPLATE_STATIC CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/data/template
     ${CMAKE_SOURCE_DIR}/data/template/*)
set(TEMPLATE_OUTPUTS "")
foreach(rel ${TEMPLATE_STATIC})
  set(out ${MILVANE_TEMPLATE_DIR}/${rel})
  add_custom_command(OUTPUT ${out}
                     COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/data/template/${rel} ${out}
                     DEPENDS ${CMAKE_SOURCE_DIR}/data/template/${rel})
  list(APPEND TEMPLATE_OUTPUTS ${out})
endforeach()

set(GEN_STAMPS "")
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/stamps)
foreach(src ${TOOL_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  if(name MATCHES "^gen_" AND NOT name STREQUAL "gen_postal_dict")
    set(stamp ${CMAKE_BINARY_DIR}/stamps/${name}.stamp)
    add_custom_command(OUTPUT ${stamp}
                       COMMAND ${name} ${MILVANE_TEMPLATE_DIR}
                       COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
                       DEPENDS ${name}
                       COMMENT "Generating template files with ${name}")
    list(APPEND GEN_STAMPS ${stamp})
  endif()
endforeach()

# The postal dictionaries are built from the pinned postal-code package, which
# scripts/fetch-postal-data.sh fetches once into a cache outside the tree.
option(MILVANE_POSTAL_DATA "Build the postal dictionaries (fetches the postal-code data with npm once)" ON)
if(MILVANE_POSTAL_DATA)
  set(POSTAL_OUTPUTS ${MILVANE_TEMPLATE_DIR}/Dic/Yubin/yubin.dic ${MILVANE_TEMPLATE_DIR}/Dic/Hojin/hojin.dic)
  add_custom_command(OUTPUT ${POSTAL_OUTPUTS}
                     COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/fetch-postal-data.sh --generate
                             $<TARGET_FILE:gen_postal_dict> ${MILVANE_TEMPLATE_DIR}
                     DEPENDS gen_postal_dict ${CMAKE_SOURCE_DIR}/scripts/fetch-postal-data.sh
                     COMMENT "Building the postal dictionaries"
                     VERBATIM)
  list(APPEND GEN_STAMPS ${POSTAL_OUTPUTS})
endif()

add_custom_target(milvane_template ALL DEPENDS ${TEMPLATE_OUTPUTS} ${GEN_STAMPS})
# exe/Frmprint links to the built program; Packaging.cmake installs its own link.
install(DIRECTORY ${MILVANE_TEMPLATE_DIR}/ DESTINATION share/milvane/template USE_SOURCE_PERMISSIONS
        PATTERN Frmprint EXCLUDE)
