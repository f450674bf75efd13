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

add_library(kestrel_warnings INTERFACE)
target_compile_options(kestrel_warnings INTERFACE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
    -Wno-missing-field-initializers)
