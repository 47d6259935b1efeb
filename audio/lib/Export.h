#pragma once

// Marks an entry point that the module exports; everything else stays hidden.
#define HORAVIA_AUDIO_EXPORT extern "C" __attribute__((visibility("default")))
