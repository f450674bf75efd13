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

# Every target compiled from our own code carries kestrel_warnings (and so
# fails on a warning): a target added without it would keep its warnings
# unseen. Only the framework and the generated resource code are left out.
function(kestrel_check_warning_flags)
    set(generated kestrel_juce kestrel_resources kestrel_skin_archive)
    set(folders ${CMAKE_SOURCE_DIR})
    while(folders)
        list(POP_FRONT folders folder)
        get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
        list(APPEND folders ${subfolders})
        get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
        foreach(target IN LISTS targets)
            get_target_property(type ${target} TYPE)
            if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$"
               AND NOT target IN_LIST generated)
                get_target_property(links ${target} LINK_LIBRARIES)
                if(NOT kestrel_warnings IN_LIST links)
                    message(FATAL_ERROR "Target ${target} (${folder}) does not link kestrel_warnings")
                endif()
            endif()
        endforeach()
    endwhile()
endfunction()
