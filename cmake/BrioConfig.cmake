# find_package(Brio): the imported targets Brio::brio (C) and Brio::mosk (its allocator).
include("${CMAKE_CURRENT_LIST_DIR}/BrioTargets.cmake")
