# The key assignment dialog's capture in the real program: recorded keys written to the
# emulator and read back, exclusivity against another X client, the multimedia flow.
find_package(PkgConfig REQUIRED)
pkg_check_modules(CAPTURE_E2E_XCB REQUIRED IMPORTED_TARGET xcb)
set(CMAKE_CROSSCOMPILING_EMULATOR
  ${CMAKE_CURRENT_SOURCE_DIR}/../../scripts/with-xvfb --timeout 230 --)
kx30_add_gtest(NAME e2e_capture_tests
  SOURCES KeyCaptureFlowTest.cpp
  LIBS kx30_testsupport kx30_transfer_jobs kx30_keymap PkgConfig::CAPTURE_E2E_XCB
  LABELS e2e
  TIMEOUT 260)
unset(CMAKE_CROSSCOMPILING_EMULATOR)
target_compile_definitions(e2e_capture_tests PRIVATE
  KX30_PROGRAM="$<TARGET_FILE:KelvaneX30>"
  KX30_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots")
add_dependencies(e2e_capture_tests KelvaneX30 kx30-emulator)
