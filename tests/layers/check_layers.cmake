# Fails when an include of the program's sources points the wrong way.
# Layers, lowest first: store, core, ui, the screens, app, main.cpp.
# A folder may include its own files and those of lower layers; the
# screens are one layer and never include each other.
#   cmake -DSRC=<src folder> -P check_layers.cmake
set(rank_store 0)
set(rank_core 1)
set(rank_ui 2)
# Every other folder is a screen's (or the help or print actions'): one
# layer, so a new screen's folder needs no line here.
set(screen_rank 3)
set(rank_app 4)

file(GLOB_RECURSE sources RELATIVE ${SRC} ${SRC}/*.h ${SRC}/*.cpp)
foreach(f IN LISTS sources)
  string(REGEX MATCH "^[^/]+" folder "${f}")
  if(NOT folder STREQUAL f AND NOT DEFINED rank_${folder})
    set(rank_${folder} ${screen_rank})
  endif()
endforeach()
# The files of the QtCore-only library, as the build lists them.
set(core_sources "")
if(DEFINED CORE_LIST AND EXISTS ${CORE_LIST})
  file(STRINGS ${CORE_LIST} core_sources)
endif()
set(faults "")
foreach(f IN LISTS sources)
  if(f STREQUAL "main.cpp")
    set(folder main)
    set(own_rank 5)
  else()
    string(REGEX MATCH "^[^/]+" folder "${f}")
    if(folder STREQUAL f)
      string(APPEND faults "\n  ${f}: a source outside any folder")
      continue()
    endif()
    set(own_rank ${rank_${folder}})
  endif()
  # Quoted and angle-bracket includes alike: <store/x.h> is no way round.
  file(STRINGS ${SRC}/${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  list(FIND core_sources "${f}" core_index)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">].*$" "\\1" inc "${line}")
    # The QtCore-only library reaches no other Qt module by any spelling
    # (<QtWidgets/QWidget> would slip past its include paths).
    if(core_index GREATER -1 AND inc MATCHES "^Qt(Gui|Widgets|PrintSupport|Svg|SvgWidgets|OpenGL|OpenGLWidgets|Test)(/|$)")
      string(APPEND faults "\n  ${f} (QtCore only) includes <${inc}>")
      continue()
    endif()
    # Nor the widgets' own folder: what a computation needs from there (a
    # colour, a text) belongs in core/ or the computation's folder.
    if(core_index GREATER -1 AND inc MATCHES "^ui/")
      string(APPEND faults "\n  ${f} (QtCore only) includes ${inc}")
      continue()
    endif()
    if(NOT inc MATCHES "/")
      continue() # a generated header or one next to the file
    endif()
    string(REGEX MATCH "^[^/]+" target "${inc}")
    if(target STREQUAL folder)
      continue()
    endif()
    if(NOT DEFINED rank_${target})
      continue() # not one of our folders (a generated path)
    endif()
    if(NOT rank_${target} LESS own_rank)
      string(APPEND faults "\n  ${f} includes ${inc}")
    endif()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "Includes that break the layers:${faults}")
endif()
list(LENGTH sources n)
message(STATUS "layers hold in ${n} files")
