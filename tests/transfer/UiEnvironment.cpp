// The QApplication and skin of the window tests, made once before the first test.
#include "TransferUiSupport.h"

namespace {
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new kx30uitest::QtSkinEnvironment);
}  // namespace
