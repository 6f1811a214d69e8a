# An include root holds links to chosen source folders only, so that a target that uses it can
# include those folders and no others: a climbing include does not compile.
#   carvelle_include_root(<var> <name> <link>=<folder> ...)
# sets <var> to ${CMAKE_BINARY_DIR}/include-roots/<name>, where each <link> points at <folder>.
function(carvelle_include_root var name)
  set(root ${CMAKE_BINARY_DIR}/include-roots/${name})
  file(MAKE_DIRECTORY ${root})
  foreach(pair IN LISTS ARGN)
    string(REPLACE "=" ";" parts "${pair}")
    list(GET parts 0 link)
    list(GET parts 1 folder)
    get_filename_component(parent ${root}/${link} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${folder} ${root}/${link} SYMBOLIC)
  endforeach()
  set(${var} ${root} PARENT_SCOPE)
endfunction()
