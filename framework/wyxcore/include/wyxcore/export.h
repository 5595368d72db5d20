#ifndef WYXCORE_EXPORT_H
#define WYXCORE_EXPORT_H

// WYX_API marks the framework's classes (type information and vtables live in
// wyxcore alone). WYX_FLAT marks the flat entry points; they are not declared
// dllimport so that a test binary can link its own definitions in their place.
#if defined(_WIN32)
#  if defined(WYXCORE_BUILD)
#    define WYX_API __declspec(dllexport)
#    define WYX_FLAT __declspec(dllexport)
#  else
#    define WYX_API __declspec(dllimport)
#    define WYX_FLAT
#  endif
#  define WYX_PLUGIN_EXPORT __declspec(dllexport)
#else
#  define WYX_API __attribute__((visibility("default")))
#  define WYX_FLAT __attribute__((visibility("default")))
#  define WYX_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

#if defined(_WIN32)
#  if defined(VANTLIB_BUILD)
#    define VANT_API __declspec(dllexport)
#  else
#    define VANT_API
#  endif
#else
#  define VANT_API __attribute__((visibility("default")))
#endif

#endif
