# The pictures, sounds, cursor and desktop scripts that the program carries, compiled into the
# binary and looked up by kind and id (":/pict/168.png", ":/snd/168.wav", ":/curs/200.png",
# ":/scpt/168.sh"). The files are named by absolute path; BASE turns each into its alias under "/".
set(starwick_resource_dir ${CMAKE_CURRENT_LIST_DIR})
file(GLOB_RECURSE starwick_resource_files CONFIGURE_DEPENDS
    ${starwick_resource_dir}/pict/*
    ${starwick_resource_dir}/snd/*
    ${starwick_resource_dir}/curs/*
    ${starwick_resource_dir}/scpt/*)
qt_add_library(starwick_resources STATIC)
target_sources(starwick_resources PRIVATE ${starwick_resource_dir}/resources.cmake)
if(starwick_resource_files)
    qt_add_resources(starwick_resources "starwick"
        PREFIX "/"
        BASE ${starwick_resource_dir}
        FILES ${starwick_resource_files})
endif()
