# The transfers run from the main window (WriteKeys, ReadAll, LightSet, Update) against the
# emulator process, xdotool as the user, under a private Xvfb.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
set(CMAKE_CROSSCOMPILING_EMULATOR
  ${CMAKE_CURRENT_SOURCE_DIR}/../../scripts/with-xvfb --timeout 280 --)
kx30_add_gtest(NAME e2e_transfers_tests
  SOURCES TransfersRunTest.cpp
  LIBS kx30_testsupport Qt6::Widgets
  LABELS e2e
  TIMEOUT 300)
unset(CMAKE_CROSSCOMPILING_EMULATOR)
# The item tables are constexpr data: their headers are all the test needs of the program.
target_include_directories(e2e_transfers_tests PRIVATE ${CMAKE_SOURCE_DIR}/app)
target_compile_definitions(e2e_transfers_tests PRIVATE
  KX30_PROGRAM="$<TARGET_FILE:KelvaneX30>"
  KX30_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots")
add_dependencies(e2e_transfers_tests KelvaneX30)
