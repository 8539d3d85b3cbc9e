#pragma once
// Only the entry points leave the libraries; everything else stays hidden.
#define PLINDOR_EXPORT extern "C" __attribute__((visibility("default")))
