// Marks the few host functions that every module reaches as the same symbol.
#pragma once

#define HOST_API __attribute__((visibility("default")))
