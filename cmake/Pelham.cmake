# Collects the C++ sources of the given folders (not their subfolders).
function(pelham_sources out)
    set(result)
    foreach(dir IN LISTS ARGN)
        file(GLOB found CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${dir}/*.cpp")
        list(APPEND result ${found})
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# Turns each text table into a C++ array of lines, regenerated when the text changes.
# Arguments: output variable, then pairs of (name, path).
function(pelham_embed_texts out)
    set(generated)
    set(args ${ARGN})
    while(args)
        list(POP_FRONT args name path)
        set(src "${PROJECT_SOURCE_DIR}/${path}")
        set(dst "${CMAKE_BINARY_DIR}/generated/table_${name}.cpp")
        add_custom_command(OUTPUT "${dst}"
            COMMAND ${CMAKE_COMMAND} -DIN=${src} -DOUT=${dst} -DNAME=${name}
                    -P "${PROJECT_SOURCE_DIR}/cmake/EmbedText.cmake"
            DEPENDS "${src}" "${PROJECT_SOURCE_DIR}/cmake/EmbedText.cmake"
            VERBATIM)
        list(APPEND generated "${dst}")
    endwhile()
    set(${out} ${generated} PARENT_SCOPE)
endfunction()

# One test program per folder of tests/: every .cpp in it, with GoogleTest's main.
# A test program links the library of its folder (or the libraries named after it).
function(pelham_test_folder dir)
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp")
    if(NOT sources)
        return()
    endif()
    string(REPLACE "/" "_" name "test_${dir}")
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE pelham_test_support ${ARGN})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS unit
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;PELHAM_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}/data;PELHAM_BIN=${CMAKE_BINARY_DIR}")
endfunction()

# A core library from the sources of some folders, linked to the libraries it builds on.
# A folder without sources yet gives an interface library, so the layering stays in place.
function(pelham_library name)
    cmake_parse_arguments(ARG "" "" "DEPENDS;EXTRA" ${ARGN})
    pelham_sources(sources ${ARG_UNPARSED_ARGUMENTS})
    list(APPEND sources ${ARG_EXTRA})
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
        target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE "${PROJECT_SOURCE_DIR}/src")
        target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
    endif()
endfunction()
