// Calling-convention and export markers for everything that crosses the host boundary.
//
// The host calls us, and we call the host back, with the C calling convention of the
// platform. On 32-bit Windows that must be spelled out (__cdecl) so that a project-wide
// convention switch cannot change it; 64-bit Windows and Linux have only one convention.
#pragma once

#if defined(_WIN32) && !defined(_WIN64)
#define HOST_API __cdecl
#else
#define HOST_API
#endif

#if defined(_WIN32)
#define PLUGIN_EXPORT __declspec(dllexport)
#else
#define PLUGIN_EXPORT __attribute__((visibility("default")))
#endif
