# vaskel.exe: a window program (no console) carrying the icon, the manifest and the version
# resource of res/vaskel.rc.
if(NOT TARGET vaskel)
  return()
endif()
set_target_properties(vaskel PROPERTIES WIN32_EXECUTABLE ON)
target_sources(vaskel PRIVATE ${PROJECT_SOURCE_DIR}/res/vaskel.rc)
string(REPLACE "." "," VASKEL_VERSION_COMMAS "${PROJECT_VERSION}.0")
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/res/vaskel_version.h CONTENT
     "#define VASKEL_VERSION_COMMAS ${VASKEL_VERSION_COMMAS}\n#define VASKEL_VERSION_STRING \"${PROJECT_VERSION}\"\n")
# windres takes plain -I folders: ours (icon, manifest, version) and wx's (wx/msw/wx.rc).
foreach(folder ${PROJECT_SOURCE_DIR}/res ${PROJECT_BINARY_DIR}/res ${wxWidgets_INCLUDE_DIRS})
  target_compile_options(vaskel PRIVATE "$<$<COMPILE_LANGUAGE:RC>:-I${folder}>")
endforeach()
