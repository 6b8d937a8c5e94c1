#pragma once

#if defined(_WIN32)
#  if defined(KELVANEX30HWI_BUILDING)
#    define KX30_API __declspec(dllexport)
#  else
#    define KX30_API __declspec(dllimport)
#  endif
#else
#  define KX30_API __attribute__((visibility("default")))
#endif
