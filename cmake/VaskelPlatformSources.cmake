# A source NAME_windows.cpp takes the place of NAME.cpp in Windows builds and is left out of
# the others.
function(vaskel_platform_sources variable)
  set(kept)
  foreach(source ${${variable}})
    get_filename_component(folder ${source} DIRECTORY)
    get_filename_component(stem ${source} NAME_WE)
    if(stem MATCHES "_windows$")
      if(WIN32)
        list(APPEND kept ${source})
      endif()
    elseif(WIN32 AND EXISTS ${folder}/${stem}_windows.cpp)
      # replaced
    else()
      list(APPEND kept ${source})
    endif()
  endforeach()
  set(${variable} ${kept} PARENT_SCOPE)
endfunction()
