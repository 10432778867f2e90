# The layers of the build: one static library per layer, and for every layer
# and program an include path that shows only the folders it may use.
#
# ovsetup_layer(TARGET FOLDERS folder... [USES layer...])
#   A static library for the layer whose sources lie in FOLDERS (the folders'
#   own CMakeLists.txt add them); it links the layers it USES.
# ovsetup_uses(TARGET [FOLDERS folder...] USES layer...)
#   The same view for a program, which links the layers it USES.
# ovsetup_unbuilt_layer(FOLDERS folder...)
#   The folders of a layer this build does not make, kept out of every view
#   all the same.
#
# A target sees its own FOLDERS and everything its USES layers see, and
# nothing else: its include path is one folder of the build tree,
# layers/TARGET, holding a link to each of those source folders. So
# #include "app/welcome_dialog.h" in install/ finds no file and the build
# fails. A layer's folder that lies inside another layer's (the dialog layer
# platform/win32/ui inside platform) is left out of the views that may not
# see it. ovsetup_write_views(), called once at the end, writes the views.

function(ovsetup_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "FOLDERS;USES")
  add_library(${target} STATIC)
  target_link_libraries(${target} PUBLIC ${arg_USES})
  _ovsetup_sees(${target} "${arg_FOLDERS}" "${arg_USES}")
endfunction()

function(ovsetup_uses target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "FOLDERS;USES")
  target_link_libraries(${target} PRIVATE ${arg_USES})
  _ovsetup_sees(${target} "${arg_FOLDERS}" "${arg_USES}")
endfunction()

function(ovsetup_unbuilt_layer)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "" "FOLDERS")
  set_property(GLOBAL APPEND PROPERTY OVSETUP_LAYER_FOLDERS ${arg_FOLDERS})
endfunction()

function(_ovsetup_sees target folders uses)
  set(sees ${folders})
  foreach(layer ${uses})
    get_target_property(lower ${layer} OVSETUP_SEES)
    list(APPEND sees ${lower})
  endforeach()
  list(REMOVE_DUPLICATES sees)
  set_target_properties(${target} PROPERTIES OVSETUP_SEES "${sees}")
  target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/layers/${target})
  set_property(GLOBAL APPEND PROPERTY OVSETUP_VIEWS ${target})
  set_property(GLOBAL APPEND PROPERTY OVSETUP_LAYER_FOLDERS ${folders})
endfunction()

# True in `result` when `path` lies inside `folder`.
function(_ovsetup_inside result path folder)
  string(FIND "${path}" "${folder}/" at)
  if(at EQUAL 0)
    set(${result} TRUE PARENT_SCOPE)
  else()
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

# Links `path` into `view`: whole, or entry by entry where a layer folder
# that the view may not see lies inside it.
function(_ovsetup_link view path sees all)
  set(hides FALSE)
  foreach(other ${all})
    _ovsetup_inside(inside ${other} ${path})
    if(inside AND NOT other IN_LIST sees)
      set(hides TRUE)
    endif()
  endforeach()
  if(NOT hides)
    get_filename_component(parent ${view}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${path} ${view}/${path} SYMBOLIC)
    return()
  endif()
  file(MAKE_DIRECTORY ${view}/${path})
  file(GLOB entries CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/${path}
       ${CMAKE_SOURCE_DIR}/${path}/*)
  foreach(entry ${entries})
    if(NOT "${path}/${entry}" IN_LIST all OR "${path}/${entry}" IN_LIST sees)
      _ovsetup_link(${view} ${path}/${entry} "${sees}" "${all}")
    endif()
  endforeach()
endfunction()

function(ovsetup_write_views)
  get_property(targets GLOBAL PROPERTY OVSETUP_VIEWS)
  get_property(all GLOBAL PROPERTY OVSETUP_LAYER_FOLDERS)
  foreach(target ${targets})
    set(view ${CMAKE_BINARY_DIR}/layers/${target})
    file(REMOVE_RECURSE ${view})  # removes the links, never what they point to
    file(MAKE_DIRECTORY ${view})
    get_target_property(sees ${target} OVSETUP_SEES)
    foreach(folder ${sees})
      set(nested FALSE)  # comes with the visible folder it lies in
      foreach(outer ${sees})
        _ovsetup_inside(inside ${folder} ${outer})
        if(inside)
          set(nested TRUE)
        endif()
      endforeach()
      if(NOT nested)
        _ovsetup_link(${view} ${folder} "${sees}" "${all}")
      endif()
    endforeach()
  endforeach()
endfunction()
