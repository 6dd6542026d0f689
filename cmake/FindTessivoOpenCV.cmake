# Finds the OpenCV 4 modules that import/ uses, as Debian installs them:
# per-module -dev packages with headers under /usr/include/opencv4 and no
# OpenCVConfig.cmake. Defines the imported target TessivoOpenCV::OpenCV.
find_path(TessivoOpenCV_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4)

set(_tessivo_opencv_modules core imgproc calib3d photo)
set(_tessivo_opencv_libraries)
foreach(module ${_tessivo_opencv_modules})
  find_library(TessivoOpenCV_${module}_LIBRARY NAMES opencv_${module})
  list(APPEND _tessivo_opencv_libraries TessivoOpenCV_${module}_LIBRARY)
endforeach()

# The version from the headers: the line segment detector that the facade
# proposal uses is back in OpenCV from 4.5.1 on; an older one would throw and
# leave the proposal at the whole photograph.
set(TessivoOpenCV_VERSION)
if(TessivoOpenCV_INCLUDE_DIR AND EXISTS "${TessivoOpenCV_INCLUDE_DIR}/opencv2/core/version.hpp")
  file(STRINGS "${TessivoOpenCV_INCLUDE_DIR}/opencv2/core/version.hpp" _tessivo_opencv_version_lines
    REGEX "^#define CV_VERSION_(MAJOR|MINOR|REVISION)[ \t]+[0-9]+")
  foreach(part MAJOR MINOR REVISION)
    string(REGEX REPLACE ".*#define CV_VERSION_${part}[ \t]+([0-9]+).*" "\\1" _tessivo_opencv_${part}
      "${_tessivo_opencv_version_lines}")
  endforeach()
  set(TessivoOpenCV_VERSION "${_tessivo_opencv_MAJOR}.${_tessivo_opencv_MINOR}.${_tessivo_opencv_REVISION}")
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(TessivoOpenCV
  REQUIRED_VARS TessivoOpenCV_INCLUDE_DIR ${_tessivo_opencv_libraries}
  VERSION_VAR TessivoOpenCV_VERSION)

if(TessivoOpenCV_FOUND AND NOT TARGET TessivoOpenCV::OpenCV)
  add_library(TessivoOpenCV::OpenCV INTERFACE IMPORTED)
  # SYSTEM: OpenCV's headers are not held to the project's warning flags.
  set_target_properties(TessivoOpenCV::OpenCV PROPERTIES INTERFACE_SYSTEM_INCLUDE_DIRECTORIES
    ${TessivoOpenCV_INCLUDE_DIR})
  target_include_directories(TessivoOpenCV::OpenCV SYSTEM INTERFACE ${TessivoOpenCV_INCLUDE_DIR})
  foreach(module ${_tessivo_opencv_modules})
    target_link_libraries(TessivoOpenCV::OpenCV INTERFACE ${TessivoOpenCV_${module}_LIBRARY})
  endforeach()
endif()
mark_as_advanced(TessivoOpenCV_INCLUDE_DIR)
