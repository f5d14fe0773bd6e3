cmake_minimum_required(VERSION 3.25)

# Reads the project's include lines and fails when a folder includes a folder
# above it or beside it in the layer order, or when the folders include one
# another in a cycle.
#   cmake -DSOURCE_DIR=<sources> -P tools/check_includes.cmake

# From the bottom up; folders in one entry (joined by ",") may not include each other.
set(layers "platform,res,launch" "identity" "config,report" "browser" "app")

set(rank 0)
foreach(layer IN LISTS layers)
  string(REPLACE "," ";" folders "${layer}")
  foreach(folder IN LISTS folders)
    set(rank_${folder} ${rank})
    list(APPEND all_folders ${folder})
  endforeach()
  math(EXPR rank "${rank} + 1")
endforeach()

set(failures "")
foreach(folder IN LISTS all_folders)
  file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
       "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.in")
  set(edges_${folder} "")
  foreach(source IN LISTS sources)
    file(STRINGS "${SOURCE_DIR}/${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      if(NOT line MATCHES "\"([^\"/]+)/")
        continue()
      endif()
      set(target ${CMAKE_MATCH_1})
      if(target STREQUAL folder)
        continue()
      endif()
      if(NOT DEFINED rank_${target})
        string(APPEND failures "${source}: includes ${target}/, which is no layer\n")
      elseif(NOT rank_${target} LESS rank_${folder})
        string(APPEND failures "${source}: ${folder}/ may not include ${target}/ (${line})\n")
      endif()
      list(APPEND edges_${folder} ${target})
    endforeach()
  endforeach()
endforeach()

# Folders that include no folder left are taken away until none is left; what
# stays is in a cycle of includes or includes one.
set(left ${all_folders})
set(progress TRUE)
while(progress)
  set(progress FALSE)
  foreach(folder IN LISTS left)
    set(pending "")
    foreach(target IN LISTS edges_${folder})
      if(target IN_LIST left)
        list(APPEND pending ${target})
      endif()
    endforeach()
    if(NOT pending)
      list(REMOVE_ITEM left ${folder})
      set(progress TRUE)
    endif()
  endforeach()
endwhile()
if(left)
  string(REPLACE ";" ", " cycle "${left}")
  string(APPEND failures "folders in a cycle of includes, or above one: ${cycle}\n")
endif()

if(failures)
  message(FATAL_ERROR "Include order broken:\n${failures}")
endif()
message(STATUS "Include order kept: ${layers}")
