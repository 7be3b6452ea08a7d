# The pictures, sounds, cursor and desktop scripts that the program carries, compiled into the
# binary and looked up by kind and id (":/pict/168.png", ":/snd/168.wav", ":/curs/200.png",
# ":/scpt/168.sh").
file(GLOB_RECURSE starwick_resource_files CONFIGURE_DEPENDS
    RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}/resources
    ${CMAKE_CURRENT_SOURCE_DIR}/resources/pict/*
    ${CMAKE_CURRENT_SOURCE_DIR}/resources/snd/*
    ${CMAKE_CURRENT_SOURCE_DIR}/resources/curs/*
    ${CMAKE_CURRENT_SOURCE_DIR}/resources/scpt/*)
qt_add_library(starwick_resources STATIC)
target_sources(starwick_resources PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/resources/resources.cmake)
if(starwick_resource_files)
    qt_add_resources(starwick_resources "starwick"
        PREFIX "/"
        BASE ${CMAKE_CURRENT_SOURCE_DIR}/resources
        FILES ${starwick_resource_files})
    set_source_files_properties(${starwick_resource_files} PROPERTIES QT_SKIP_QUICKCOMPILER ON)
endif()
