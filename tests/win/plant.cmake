# Copies a test source with a fault planted in it: every FIND replaced by PLANT, and the copy
# including its own NAME.moc.
#   cmake -DSOURCE=tst_x.cpp -DOUTPUT=tst_y.cpp -DFIND=text -DPLANT=text -P plant.cmake
cmake_minimum_required(VERSION 3.25)
file(READ ${SOURCE} text)
string(FIND "${text}" "${FIND}" at)
if(at EQUAL -1)
    message(FATAL_ERROR "${SOURCE} no longer holds ${FIND}")
endif()
string(REPLACE "${FIND}" "${PLANT}" text "${text}")
cmake_path(GET SOURCE STEM source_stem)
cmake_path(GET OUTPUT STEM output_stem)
string(REPLACE "#include \"${source_stem}.moc\"" "#include \"${output_stem}.moc\"" text "${text}")
file(WRITE ${OUTPUT} "${text}")
