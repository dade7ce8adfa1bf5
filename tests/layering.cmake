# Fails when a file in src/ includes a header from a folder above its own layer. The
# layers, bottom to top; a folder may include from itself and the folders before it.
# Run as: cmake -DSOURCE_DIR=<repository>/src -P layering.cmake
set(layers platform core link measure records charts modes results about session app)

set(violations "")
list(LENGTH layers count)
math(EXPR last "${count} - 1")
foreach(rank RANGE ${last})
    list(GET layers ${rank} folder)
    file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
    foreach(source ${sources})
        file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[a-z]+/")
        foreach(line ${includes})
            string(REGEX REPLACE "^[^\"]*\"([a-z]+)/.*$" "\\1" target "${line}")
            list(FIND layers "${target}" targetRank)
            if(targetRank GREATER rank)
                file(RELATIVE_PATH shown "${SOURCE_DIR}" "${source}")
                list(APPEND violations "${shown}: ${line}")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "Includes that run up the layers:\n  ${text}")
endif()
message(STATUS "No include runs up the layers.")
