# Writes SITE/sw.js from TEMPLATE: the list of the site's files to keep, and a cache name from
# their contents. Run as cmake -DSITE=... -DTEMPLATE=... -P service_worker.cmake.
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(contents)
foreach(file ${files})
    file(SHA256 ${SITE}/${file} hash)
    string(APPEND contents "${file} ${hash}\n")
endforeach()
string(SHA256 SITE_HASH "${contents}")
string(SUBSTRING ${SITE_HASH} 0 16 SITE_HASH)
# The folder itself too, which a server answers with index.html.
list(TRANSFORM files PREPEND "\"")
list(TRANSFORM files APPEND "\"")
list(JOIN files ", " SITE_FILES)
set(SITE_FILES "\"./\", ${SITE_FILES}")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
