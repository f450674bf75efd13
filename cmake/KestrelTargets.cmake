# A folder library holds every .cpp of its folder and of the rooms below it;
# new classes are picked up without editing this file.
function(kestrel_folder_library target folder dependency)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "/Main\\.cpp$")
    if(NOT sources)
        set(sources ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
    endif()
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${dependency} PRIVATE kestrel_warnings)
endfunction()
