# JUCE is compiled exactly once, into kestrel_juce. The module targets are
# linked PRIVATE so their sources land here only; their include folders and
# compile definitions are re-exported so that every other target can include
# the module headers.
set(KESTREL_JUCE_MODULES
    juce::juce_core
    juce::juce_events
    juce::juce_data_structures
    juce::juce_graphics
    juce::juce_gui_basics
    juce::juce_gui_extra
    juce::juce_audio_basics
    juce::juce_audio_devices
    juce::juce_audio_formats
    juce::juce_cryptography)

set(KESTREL_JUCE_DEFINITIONS
    JUCE_USE_OGGVORBIS=0
    JUCE_USE_FLAC=0
    JUCE_USE_MP3AUDIOFORMAT=0
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=1
    JUCE_LOAD_CURL_SYMBOLS_LAZILY=0
    JUCE_STANDALONE_APPLICATION=1
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_MODAL_LOOPS_PERMITTED=1
    JUCE_REPORT_APP_USAGE=0
    JUCE_USE_XRANDR=1
    JUCE_USE_XINERAMA=1
    JUCE_USE_XCURSOR=1
    JUCE_ALSA=1
    JUCE_JACK=0
    JUCE_APPLICATION_NAME_STRING="Kestrel-Edit"
    JUCE_APPLICATION_VERSION_STRING="${PROJECT_VERSION}")

# Our one change to the framework, cmake/patches/juce_linux_Windowing.patch
# (it says why: a window's display-refresh timer runs only while a repaint is
# pending, and X events that Xlib queued while waiting for the server still
# reach the event loop), is applied to a copy of juce_gui_basics in the build folder, and
# the copy's source is compiled instead of the installed one. The installed
# modules stay untouched; the headers are the same in both.
find_program(KESTREL_PATCH_PROGRAM patch REQUIRED DOC "The patch program (package patch)")
set(KESTREL_JUCE_PATCH ${CMAKE_SOURCE_DIR}/cmake/patches/juce_linux_Windowing.patch)
set(KESTREL_PATCHED_GUI ${CMAKE_BINARY_DIR}/juce-patched/juce_gui_basics)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KESTREL_JUCE_PATCH})
file(SHA256 ${KESTREL_JUCE_PATCH} patch_hash)
set(patch_stamp ${KESTREL_PATCHED_GUI}/kestrel-patch.sha256)
set(stamped_hash "")
if(EXISTS ${patch_stamp})
    file(READ ${patch_stamp} stamped_hash)
endif()
if(NOT stamped_hash STREQUAL patch_hash)
    file(REMOVE_RECURSE ${KESTREL_PATCHED_GUI})
    file(COPY ${JUCE_MODULES_DIR}/juce_gui_basics DESTINATION ${CMAKE_BINARY_DIR}/juce-patched)
    # The installed file has Windows line ends; the patch is made against Unix ones.
    set(windowing ${KESTREL_PATCHED_GUI}/native/juce_linux_Windowing.cpp)
    file(READ ${windowing} windowing_text)
    string(REPLACE "\r\n" "\n" windowing_text "${windowing_text}")
    file(WRITE ${windowing} "${windowing_text}")
    execute_process(COMMAND ${KESTREL_PATCH_PROGRAM} -p1 --forward --batch -i ${KESTREL_JUCE_PATCH}
        WORKING_DIRECTORY ${KESTREL_PATCHED_GUI} RESULT_VARIABLE patch_result OUTPUT_VARIABLE patch_output
        ERROR_VARIABLE patch_output)
    if(NOT patch_result EQUAL 0)
        file(REMOVE_RECURSE ${KESTREL_PATCHED_GUI})
        message(FATAL_ERROR "The framework patch ${KESTREL_JUCE_PATCH} does not apply to ${JUCE_MODULES_DIR}:\n${patch_output}")
    endif()
    file(WRITE ${patch_stamp} "${patch_hash}")
endif()
get_target_property(gui_sources juce_gui_basics INTERFACE_SOURCES)
list(TRANSFORM gui_sources REPLACE "^${JUCE_MODULES_DIR}/juce_gui_basics/" "${KESTREL_PATCHED_GUI}/")
set_property(TARGET juce_gui_basics PROPERTY INTERFACE_SOURCES ${gui_sources})

add_library(kestrel_juce STATIC)
target_link_libraries(kestrel_juce
    PRIVATE ${KESTREL_JUCE_MODULES}
    PUBLIC juce::pkgconfig_JUCE_IMG_LINUX_DEPS juce::pkgconfig_JUCE_CURL_LINUX_DEPS)
target_compile_definitions(kestrel_juce PUBLIC ${KESTREL_JUCE_DEFINITIONS})

foreach(module IN LISTS KESTREL_JUCE_MODULES)
    target_include_directories(kestrel_juce SYSTEM INTERFACE
        $<TARGET_PROPERTY:${module},INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_definitions(kestrel_juce INTERFACE
        $<TARGET_PROPERTY:${module},INTERFACE_COMPILE_DEFINITIONS>)
endforeach()
# JUCE's own sources are not ours to warn about, and their debug information
# only slows the build.
target_compile_options(kestrel_juce PRIVATE -w -g0)

# Every target of our own code links this. The framework's headers come in
# as SYSTEM includes, so their warnings stay out of it.
add_library(kestrel_warnings INTERFACE)
target_compile_options(kestrel_warnings INTERFACE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
    -Wno-missing-field-initializers)
if(KESTREL_WERROR)
    target_compile_options(kestrel_warnings INTERFACE -Werror)
endif()
