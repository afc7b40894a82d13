# Builds the Windows installer; run in the folder that holds the program and its icon, since wixl
# finds the files it packs relative to the folder it runs in:
#   cmake -D VERSION=1.0.0.0 -D EXE=ambrelith.exe -D ICON=resources/heart.ico -D OUT=a.msi
#         -P make_msi.cmake
# wixl writes the package from ambrelith.wxs; msibuild then adds the dialogs, which wixl cannot
# write: one table a file in dialogs/, in Windows Installer's text form of a table (column names,
# column types, table name and key columns, then a row a line, fields split by tabs). Each
# replaces a table of the same name: the sequence of the user interface lists wixl's standard
# actions too, and wixl leaves the table of stored files (Binary) empty.
foreach(variable VERSION EXE ICON OUT)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "make_msi.cmake needs -D ${variable}=...")
    endif()
endforeach()
set(source ${CMAKE_CURRENT_LIST_DIR})
get_filename_component(out ${OUT} ABSOLUTE)

# The size the list of installed programs shows, in kilobytes.
file(SIZE ${EXE} bytes)
math(EXPR kilobytes "(${bytes} + 1023) / 1024")
execute_process(
    COMMAND wixl --arch x64 -D Version=${VERSION} -D Exe=${EXE} -D Icon=${ICON}
            -D Size=${kilobytes} -o ${out} ${source}/ambrelith.wxs
    COMMAND_ERROR_IS_FATAL ANY)

# msibuild reads a file named in a table from the folder named after the table, under the folder
# it runs in: the heart the dialogs show from Binary/heart.ico.
set(work ${out}.dialogs)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work}/Binary)
file(COPY_FILE ${ICON} ${work}/Binary/heart.ico)
file(GLOB tables ${source}/dialogs/*.idt)
execute_process(COMMAND msibuild ${out} -i ${tables}
    WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${work})
