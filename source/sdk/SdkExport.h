#pragma once
// Visibility of the SDK library's functions, and of what a plugin module exports to the host.

#if defined(_WIN32)
#if defined(PLUGINSDK_BUILD)
#define PLUGINSDK_API __declspec(dllexport)
#else
#define PLUGINSDK_API __declspec(dllimport)
#endif
#define BAKKESMOD_PLUGIN_EXPORT __declspec(dllexport)
#else
#define PLUGINSDK_API __attribute__((visibility("default")))
#define BAKKESMOD_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif
