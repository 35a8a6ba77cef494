# Fetches the OpenLayers library (the "ol" package of the npm registry) and
# puts its single-file build beside the program: <OUT>/ol.js and ol.css.
# Run with cmake -P; a missing npm or registry leaves the maps' OpenLayers
# interface without its library but never fails the build.
#   -DNPM=<npm> -DVERSION=<version> -DWORK=<scratch folder> -DOUT=<folder> -DSTAMP=<file>
file(MAKE_DIRECTORY "${WORK}" "${OUT}")
if(NOT EXISTS "${OUT}/ol.js")
  execute_process(COMMAND "${NPM}" pack "ol@${VERSION}" --silent
                  WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE packed OUTPUT_VARIABLE tarball
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(packed EQUAL 0 AND EXISTS "${WORK}/${tarball}")
    file(ARCHIVE_EXTRACT INPUT "${WORK}/${tarball}" DESTINATION "${WORK}"
         PATTERNS package/dist/ol.js package/ol.css)
    file(COPY_FILE "${WORK}/package/dist/ol.js" "${OUT}/ol.js" ONLY_IF_DIFFERENT)
    file(COPY_FILE "${WORK}/package/ol.css" "${OUT}/ol.css" ONLY_IF_DIFFERENT)
    file(REMOVE "${WORK}/${tarball}")
  else()
    message(WARNING "OpenLayers ${VERSION} could not be fetched with npm: OpenLayers maps will not draw")
  endif()
endif()
file(TOUCH "${STAMP}")
