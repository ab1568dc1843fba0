# find_package(Tessel): the imported target Tessel::tessel (C++), with Brio from the same
# installation.
include(CMakeFindDependencyMacro)
find_dependency(Brio PATHS "${CMAKE_CURRENT_LIST_DIR}/.." NO_DEFAULT_PATH)
include("${CMAKE_CURRENT_LIST_DIR}/TesselTargets.cmake")
