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

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(TessivoOpenCV
  REQUIRED_VARS TessivoOpenCV_INCLUDE_DIR ${_tessivo_opencv_libraries})

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
